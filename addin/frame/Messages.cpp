#include "frame/Messages.h"

#include <windows.h>

#include <string>

void ShowMessage(std::wstring_view text) {
  // No owner window: the commands name none. MB_TASKMODAL keeps the host's
  // windows on this thread disabled while the box is up.
  std::wstring copy(text);
  MessageBoxW(nullptr, copy.c_str(), L"ZELM_Compact", MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}
