#include "command/Dialogs.h"

#include <commdlg.h>

#include <algorithm>

#include "Messages.h"

namespace zelm {

void ShowMessage(std::wstring_view text) {
  // MB_TASKMODAL disables the thread's top-level windows while the box is up,
  // as ThreadWindowsDisabled does for the other dialogs.
  const std::wstring copy(text);
  MessageBoxW(nullptr, copy.c_str(), messages::kAddinName, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

namespace {

// Room for the longest path the file system takes (32767 characters and
// the NUL), so a chosen path beyond MAX_PATH comes back whole.
constexpr size_t kPathBufferLength = 32768;

}  // namespace

std::optional<std::wstring> AskSavePath(std::wstring_view filter, const wchar_t* defaultExtension,
                                        const std::wstring& initialName) {
  // The platform's form of the filter: every "|" a NUL, the whole closed by
  // a second NUL (c_str adds the last one).
  std::wstring platformFilter(filter);
  std::replace(platformFilter.begin(), platformFilter.end(), L'|', L'\0');
  // The dialog writes the chosen path over the initial name, so the buffer
  // is never smaller than either.
  std::vector<wchar_t> path(std::max(kPathBufferLength, initialName.size() + 1), L'\0');
  std::copy(initialName.begin(), initialName.end(), path.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = nullptr;
  dialog.lpstrFilter = platformFilter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrDefExt = defaultExtension;
  dialog.Flags = OFN_HIDEREADONLY;
  const ThreadWindowsDisabled hostWindows;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return std::wstring(path.data());
}

ThreadWindowsDisabled::ThreadWindowsDisabled() {
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM list) -> BOOL {
        if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
        // No exception may cross the system's callback: without memory to
        // remember it, the window stays enabled and the walk stops.
        try {
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        } catch (...) {
          return FALSE;
        }
        EnableWindow(window, FALSE);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&disabled_));
}

ThreadWindowsDisabled::~ThreadWindowsDisabled() {
  // In reverse, as windows are enabled again after a modal loop.
  for (auto window = disabled_.rbegin(); window != disabled_.rend(); ++window)
    if (IsWindow(*window)) EnableWindow(*window, TRUE);
}

}  // namespace zelm
