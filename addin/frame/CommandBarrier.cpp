#include "frame/CommandBarrier.h"

#include <string>

#include "Messages.h"
#include "command/Dialogs.h"

// Showing a message can itself fail (no memory for the text): the barrier
// must still not throw, so each report has its own last-resort catch.

namespace zelm {
namespace {

// The failure's own text, then what the command's guards did on the way out.
std::wstring WithFailureLines(const std::wstring& text, FailureLines& failureLines) {
  const std::wstring lines = failureLines.Take();
  return lines.empty() ? text : text + L"\n" + lines;
}

}  // namespace

void ReportHostCallFailure(const HostCallError& error, FailureLines& failureLines) noexcept {
  try {
    std::wstring text = messages::HostCallFailed(error.OperationName());
    if (!error.Description().empty()) text += L"\n" + error.Description();
    ShowMessage(WithFailureLines(text, failureLines));
  } catch (...) {
  }
}

void ReportOutOfMemory(FailureLines& failureLines) noexcept {
  try {
    ShowMessage(WithFailureLines(messages::kOutOfMemory, failureLines));
  } catch (...) {
  }
}

void ReportUnexpectedFailure(FailureLines& failureLines) noexcept {
  try {
    ShowMessage(WithFailureLines(messages::kUnexpectedFailure, failureLines));
  } catch (...) {
  }
}

void ReportLinesLeft(FailureLines& failureLines) noexcept {
  try {
    const std::wstring lines = failureLines.Take();
    if (!lines.empty()) ShowMessage(lines);
  } catch (...) {
  }
}

void ShowMessageNoThrow(std::wstring_view text) noexcept {
  try {
    ShowMessage(text);
  } catch (...) {
  }
}

}  // namespace zelm
