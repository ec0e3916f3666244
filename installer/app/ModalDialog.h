#pragma once
// A modal dialog built on a dialog template. The static dialog procedure
// stores `this` at WM_INITDIALOG and forwards every message to the object.
#include <windows.h>

namespace installer {

class ModalDialog {
 public:
  ModalDialog(int templateId, HWND owner) : templateId_(templateId), owner_(owner) {}
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // Runs the dialog until it ends; the value given to EndDialog, or -1.
  INT_PTR DoModal();

 protected:
  // The dialog's window; valid from OnInitDialog until the dialog ends.
  HWND window() const { return window_; }
  HWND item(int id) const { return GetDlgItem(window_, id); }

  // TRUE lets the dialog manager give the focus to the first control.
  virtual BOOL OnInitDialog() { return TRUE; }
  // A WM_COMMAND; the default ends the dialog on OK and on Cancel.
  virtual void OnCommand(int id, int notification);
  // Any other message; return FALSE for the dialog manager's default.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return FALSE; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool RefuseCloseWhileCancelIsDisabled();

  int templateId_;
  HWND owner_;
  HWND window_ = nullptr;
};

}  // namespace installer
