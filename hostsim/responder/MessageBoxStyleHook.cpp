// dialog_responder_hook.dll: a window-procedure hook that DialogResponder
// sets on the threads it watches. When a message box initialises, it stores
// the style the program asked for (MB_OK | MB_ICONEXCLAMATION...) as a window
// property that the responder reads from any process. The box's dialog gets
// its MSGBOXPARAMS as the WM_INITDIALOG parameter.
#include <windows.h>

#include "responder/DialogWindows.h"
#include "responder/MessageBoxStyle.h"

namespace hostsim {

// Exported unmangled (extern "C"): the responder finds it by kStyleHookProcedure.
extern "C" __declspec(dllexport) LRESULT CALLBACK recordMessageBoxStyle(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITDIALOG && call->lParam != 0 &&
      GetDlgItem(call->hwnd, dialogs::kMessageTextId) != nullptr) {
    // Another dialog's parameter may be anything: read it without trusting it.
    MSGBOXPARAMSW params{};
    SIZE_T read = 0;
    if (ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(call->lParam), &params, sizeof params,
                          &read) &&
        read == sizeof params && params.cbSize == sizeof params)
      SetPropW(call->hwnd, kMessageBoxStyleProperty,
               reinterpret_cast<HANDLE>(kStyleKnown | params.dwStyle));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace hostsim
