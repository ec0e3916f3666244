#include "frame/AddinAboutDialog.h"

#include "command/Dialogs.h"
#include "resources/ResourceIds.h"

namespace zelm {

INT_PTR AddinAboutDialog::DoModal() {
  const ThreadWindowsDisabled hostWindows;
  // The picture control names bitmap 7017 in the template; the static
  // control loads it (LoadImageW) from the module the dialog is created
  // from, which is why the template and the bitmap come from one module.
  return DialogBoxParamW(resources_, MAKEINTRESOURCEW(IDD_ABOUT_TESSORA), nullptr, &AddinAboutDialog::DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK AddinAboutDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* self = reinterpret_cast<AddinAboutDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  return self ? self->HandleMessage(window, message, wParam) : FALSE;
}

INT_PTR AddinAboutDialog::HandleMessage(HWND window, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;  // focus goes to the default button, OK
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      // The default dialog handling turns the close box into IDCANCEL only
      // when the Cancel button is enabled; ours is disabled, so the close
      // box is handled here.
      EndDialog(window, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace zelm
