#pragma once
// What a menu command is given, and what it gives back.
//
// A command is a function `Outcome(CommandContext&)`: the context carries
// the connected host and the command's own state for one run. The frame
// makes a new context for every run and keeps nothing of it afterwards; a
// command keeps its own data (the assembly's file list, the destination) in
// its locals.
#include <string>
#include <utility>
#include <vector>

#include "host/HostObjects.h"

namespace zelm {

// How a command ended.
enum class Outcome {
  Done,     // it went through its steps and said how it went
  Stopped,  // it stopped at a step (no document, a dialog cancelled, a
            // refusal), after saying why when there was something to say
};

// The lines that the command's guards leave on its way out (what they put
// back, or what must not be saved), for the one message that ends the
// command on a failure.
class FailureLines {
 public:
  // Without memory for the line the failure is still told, without it.
  void Add(std::wstring line) noexcept {
    try {
      lines_.push_back(std::move(line));
    } catch (...) {
    }
  }
  // The lines, one a line, taken: each is told once.
  std::wstring Take() {
    std::wstring text;
    for (const std::wstring& line : lines_) text += (text.empty() ? L"" : L"\n") + line;
    lines_.clear();
    return text;
  }

 private:
  std::vector<std::wstring> lines_;
};

struct CommandContext {
  // The host the add-in is connected to: a view without an object before the
  // add-in has started, on which every call answers empty, so a command
  // finds no active document.
  const HostApplication& host;
  FailureLines failureLines;
};

using CommandFunction = Outcome (*)(CommandContext&);

}  // namespace zelm
