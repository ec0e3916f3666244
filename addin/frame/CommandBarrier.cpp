#include "frame/CommandBarrier.h"

#include <string>

#include "frame/AddinApp.h"
#include "frame/Dialogs.h"

// Showing a message can itself fail (no memory for the text): the barrier
// must still not throw, so each report has its own last-resort catch.

namespace {

constexpr wchar_t kCommandRunningMessage[] =
    L"Une autre commande de ZELM_Compact est en cours : terminez-la, puis recommencez.";

// The lines the running command's guards left, each on a line of its own
// after the text; taken, so they are told once.
std::wstring WithFailureLines(std::wstring text) {
  if (!theAddinApp) return text;
  std::vector<std::wstring>& lines = theAddinApp->command.failureLines;
  for (const std::wstring& line : lines) text += L"\n" + line;
  lines.clear();
  return text;
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
  // A guard that had to act although the command ended normally still gets
  // heard, in one message.
  if (!state.failureLines.empty()) {
    try {
      ShowMessage(WithFailureLines(std::wstring()).substr(1));
    } catch (...) {
    }
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
    ShowMessage(WithFailureLines(std::move(text)));
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
