#include "part/SaveFileDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {

// Room for the longest path the file system takes (32767 characters and
// the NUL), so a chosen path beyond MAX_PATH comes back whole.
constexpr size_t kPathBufferLength = 32768;

}  // namespace

std::wstring PlatformFilter(std::wstring_view filter) {
  std::wstring platform(filter);
  std::replace(platform.begin(), platform.end(), L'|', L'\0');
  return platform;
}

std::optional<std::wstring> AskSavePath(std::wstring_view filter, const wchar_t* defaultExtension,
                                        const std::wstring& initialName) {
  const std::wstring platformFilter = PlatformFilter(filter);
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
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return std::wstring(path.data());
}
