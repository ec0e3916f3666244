#pragma once
// The duty to put back a document that still stands for a source file, from
// the command's first change to it until it stands for the copy, or the
// command has put it back itself. On any other way out (a host error, a
// refusal, an odd answer, any exception) the destructor puts it back, and
// the message that ends the command (the command barrier's) says how that
// went: what was put back, or which document must not be saved.
#include <functional>
#include <string>

#include "command/CommandContext.h"

namespace zelm {

class SourceGuard {
 public:
  // `putBack` puts the document back and answers whether it could; it may
  // throw. The two lines are what the failure message says when it could,
  // and when it could not; they go to `failureLines`, the running command's.
  SourceGuard(FailureLines& failureLines, std::function<bool()> putBack, std::wstring putBackLine,
              std::wstring failedLine);
  SourceGuard(const SourceGuard&) = delete;
  SourceGuard& operator=(const SourceGuard&) = delete;
  ~SourceGuard();

  // Nothing is left to put back: the document stands for the copy now.
  void Dismiss() noexcept { due_ = false; }
  // Puts the document back on the command's own road, where the command
  // tells the user itself; true when it could. A failure on the way (the host
  // may be failing for good) is noted for the failure message and goes on.
  bool PutBackNow();

 private:
  FailureLines& failureLines_;
  std::function<bool()> putBack_;
  std::wstring putBackLine_, failedLine_;
  bool due_ = true;
};

}  // namespace zelm
