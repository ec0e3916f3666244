#include "frame/CommandBarrier.h"

#include <string>

#include "frame/AddinApp.h"
#include "frame/Dialogs.h"

// Showing a message can itself fail (no memory for the text): the barrier
// must still not throw, so each report has its own last-resort catch.

namespace {

constexpr wchar_t kCommandRunningMessage[] =
    L"Une autre commande de ZELM_Compact est en cours : terminez-la, puis recommencez.";

// The lines the running command's guards left, one a line; taken, so that
// they are told once.
std::wstring TakeFailureLines() {
  std::wstring text;
  if (!theAddinApp) return text;
  for (const std::wstring& line : theAddinApp->command.failureLines) text += (text.empty() ? L"" : L"\n") + line;
  theAddinApp->command.failureLines.clear();
  return text;
}

// The failure's own text, then what the command's guards did on the way out.
std::wstring WithFailureLines(const std::wstring& text) {
  const std::wstring lines = TakeFailureLines();
  return lines.empty() ? text : text + L"\n" + lines;
}

}  // namespace

void RunMenuCommand(void (*command)()) noexcept {
  // Before the add-in is started there is no host: the command finds no
  // document, and nothing can run beside it.
  if (!theAddinApp) return RunCommand(command);
  AddinApp::RunningCommand& state = theAddinApp->command;
  if (state.running) {
    try {
      ShowMessage(kCommandRunningMessage);
    } catch (...) {
    }
    return;
  }
  state.running = true;
  state.failureLines.clear();
  RunCommand(command);
  // A guard that had to act although the command ended normally is still
  // heard, in one message.
  try {
    const std::wstring lines = TakeFailureLines();
    if (!lines.empty()) ShowMessage(lines);
  } catch (...) {
  }
  state.failureLines.clear();
  state.running = false;
}

void AddToFailureMessage(std::wstring line) noexcept {
  if (!theAddinApp) return;
  try {
    theAddinApp->command.failureLines.push_back(std::move(line));
  } catch (...) {
    // Without memory for the line the failure is still told, without it.
  }
}

void ReportHostCallFailure(const HostCallError& error) noexcept {
  try {
    std::wstring text = L"Erreur du logiciel hôte pendant l'opération " + error.operation() + L".";
    if (!error.description().empty()) text += L"\n" + error.description();
    ShowMessage(WithFailureLines(text));
  } catch (...) {
  }
}

void ReportOutOfMemory() noexcept {
  try {
    ShowMessage(WithFailureLines(L"Mémoire insuffisante : la commande est interrompue."));
  } catch (...) {
  }
}

void ReportUnexpectedFailure() noexcept {
  try {
    ShowMessage(WithFailureLines(L"Erreur inattendue : la commande est interrompue."));
  } catch (...) {
  }
}
