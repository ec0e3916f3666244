#include "ModalDialog.h"

namespace installer {

INT_PTR ModalDialog::DoModal() {
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner_, &ModalDialog::DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void ModalDialog::OnCommand(int id, int notification) {
  if (id == IDOK || id == IDCANCEL) EndDialog(window_, id);
}

bool ModalDialog::RefuseCloseWhileCancelIsDisabled() {
  // The dialog manager turns a close request into the cancel command, and
  // refuses it with a warning sound while a cancel control exists and is
  // disabled. Wine 8 posts the command regardless, so the check is made here.
  const HWND cancel = item(IDCANCEL);
  if (cancel == nullptr || IsWindowEnabled(cancel)) return false;
  MessageBeep(0);
  return true;
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
    case WM_CLOSE:
      return RefuseCloseWhileCancelIsDisabled() ? TRUE : FALSE;
    default:
      return OnMessage(message, wParam, lParam);
  }
}

}  // namespace installer
