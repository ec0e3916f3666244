#include "ModalDialog.h"

namespace installer {

INT_PTR ModalDialog::DoModal() {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner_, &ModalDialog::DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void ModalDialog::OnCommand(int id, int notification) {
  if (id == IDOK) {
    EndDialog(window_, IDOK);
  } else if (id == IDCANCEL) {
    // Escape and the title bar's close request arrive here too; a disabled
    // cancel control means the dialog may not be dismissed that way.
    const HWND cancel = item(IDCANCEL);
    if (cancel == nullptr || IsWindowEnabled(cancel)) EndDialog(window_, IDCANCEL);
  }
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ModalDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<ModalDialog*>(lParam);
    self->window_ = window;
    SetWindowLongPtrA(window, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the dialog manager.
    return FALSE;
  }
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    default:
      return OnMessage(message, wParam, lParam);
  }
}

}  // namespace installer
