// dialog_responder_child TEXT CAPTION: shows one message box and exits with
// the id of the button that closed it (0 when the box could not be shown).
#include <windows.h>
#include <shellapi.h>

int main() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count < 3) return 100;
  const int pressed = MessageBoxW(nullptr, args[1], args[2], MB_OK);
  LocalFree(args);
  return pressed;
}
