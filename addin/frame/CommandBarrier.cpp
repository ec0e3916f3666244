#include "frame/CommandBarrier.h"

#include <string>

#include "frame/Dialogs.h"

// Showing a message can itself fail (no memory for the text): the barrier
// must still not throw, so each report has its own last-resort catch.

void ReportHostCallFailure(const HostCallError& error) noexcept {
  try {
    std::wstring text = L"Erreur du logiciel hôte pendant l'opération " + error.operation() + L".";
    if (!error.description().empty()) text += L"\n" + error.description();
    ShowMessage(text);
  } catch (...) {
  }
}

void ReportOutOfMemory() noexcept {
  try {
    ShowMessage(L"Mémoire insuffisante : la commande est interrompue.");
  } catch (...) {
  }
}

void ReportUnexpectedFailure() noexcept {
  try {
    ShowMessage(L"Erreur inattendue : la commande est interrompue.");
  } catch (...) {
  }
}
