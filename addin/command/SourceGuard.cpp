#include "command/SourceGuard.h"

namespace zelm {

SourceGuard::SourceGuard(FailureLines& failureLines, std::function<bool()> putBack, std::wstring putBackLine,
                         std::wstring failedLine)
    : failureLines_(failureLines),
      putBack_(std::move(putBack)),
      putBackLine_(std::move(putBackLine)),
      failedLine_(std::move(failedLine)) {}

SourceGuard::~SourceGuard() {
  if (!due_) return;
  bool putBack = false;
  try {
    putBack = putBack_();
  } catch (...) {
    // The failure that ended the command is the one told; this one only
    // decides what the message adds.
  }
  failureLines_.Add(putBack ? std::move(putBackLine_) : std::move(failedLine_));
}

bool SourceGuard::PutBackNow() {
  due_ = false;
  try {
    return putBack_();
  } catch (...) {
    failureLines_.Add(std::move(failedLine_));
    throw;
  }
}

}  // namespace zelm
