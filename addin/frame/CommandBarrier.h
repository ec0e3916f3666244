#pragma once
// The exception barrier at every function the host calls into: no C++
// exception may cross into the host. A failed host call ends the command
// with one message naming the operation; anything else with a generic one.
// The barrier is the one place that speaks when a command fails: what the
// command's guards put back on its way out, or could not (its failure
// lines), is added to that one message.
#include <new>
#include <string_view>

#include "command/CommandContext.h"
#include "host/HostCallError.h"

namespace zelm {

void ReportHostCallFailure(const HostCallError& error, FailureLines& failureLines) noexcept;
void ReportOutOfMemory(FailureLines& failureLines) noexcept;
void ReportUnexpectedFailure(FailureLines& failureLines) noexcept;
// The failure lines a command left although it ended normally (a guard had
// to act), in one message; none, no message.
void ReportLinesLeft(FailureLines& failureLines) noexcept;
// A message that must not throw: without memory for it, nothing is shown.
void ShowMessageNoThrow(std::wstring_view text) noexcept;

template <typename Body>
void RunCommand(Body&& body, FailureLines& failureLines) noexcept {
  try {
    body();
  } catch (const HostCallError& error) {
    ReportHostCallFailure(error, failureLines);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory(failureLines);
  } catch (...) {
    ReportUnexpectedFailure(failureLines);
  }
}

// For what runs without failure lines (the add-in's start, the about box).
template <typename Body>
void RunCommand(Body&& body) noexcept {
  FailureLines none;
  RunCommand(body, none);
}

}  // namespace zelm
