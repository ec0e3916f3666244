#pragma once
// The about box: a modal dialog from template 7015 of the module it is given
// (the add-in's own library), without a parent window. It closes on OK, on Escape and on its close box; its
// "Cancel" button stays hidden and disabled.
#include <windows.h>

namespace zelm {

class AddinAboutDialog {
 public:
  explicit AddinAboutDialog(HMODULE resources) noexcept : resources_(resources) {}
  AddinAboutDialog(const AddinAboutDialog&) = delete;
  AddinAboutDialog& operator=(const AddinAboutDialog&) = delete;

  // Runs the dialog until it is closed; the button that closed it, or -1.
  INT_PTR DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam);

  HMODULE resources_;
};

}  // namespace zelm
