#include "core/LinkGuard.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/FileSystem.h"

namespace installer {
namespace {

// Where the system places an open file or folder: its volume and its path
// on that volume ("\SW\Apps", whichever drive letter leads to it).
struct Place {
  DWORD volume = 0;
  std::wstring path;
};

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OpenEntry = std::unique_ptr<void, HandleCloser>;

// The path as the platform reads it: absolute, "/" as "\", "." segments and
// trailing dots and blanks dropped, no trailing backslash.
std::optional<std::string> FullPath(const char* path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return std::nullopt;
  std::string text(full, length);
  if (text.size() > 3 && text.back() == '\\') text.pop_back();
  return text;
}

// The entry as its folder lists it: its name on disk (the long name, in the
// case it was made with) and its attributes.
std::optional<WIN32_FIND_DATAA> Listed(const std::string& path) {
  WIN32_FIND_DATAA entry;
  const HANDLE listing = FindFirstFileA(path.c_str(), &entry);
  if (listing == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(listing);
  return entry;
}

// On Windows, FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, and its
// attributes show FILE_ATTRIBUTE_REPARSE_POINT. Wine 8 stands for links with
// Linux symbolic links and ignores the flag: it opens what is behind the
// link, and shows the bit only where a folder lists a link to a folder,
// never for a link to a file. What gives a link away there is where the
// system places the entry opened: where the link's target lies (volume
// serial 0 and the Linux path when that is on no drive).
std::optional<Place> PlaceOf(const std::string& path, DWORD& attributes) {
  const HANDLE handle = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const OpenEntry entry(handle);
  BY_HANDLE_FILE_INFORMATION info;
  std::vector<DWORD> buffer((sizeof(FILE_NAME_INFO) + 65536) / sizeof(DWORD));
  auto* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  if (!GetFileInformationByHandle(handle, &info) ||
      !GetFileInformationByHandleEx(handle, FileNameInfo, name, static_cast<DWORD>(buffer.size() * sizeof(DWORD))))
    return std::nullopt;
  attributes = info.dwFileAttributes;
  return Place{info.dwVolumeSerialNumber, std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t))};
}

// The place an entry named `name` in the folder placed at `folder` must have.
Place PlaceIn(const Place& folder, const char* name) {
  wchar_t wide[MAX_PATH];
  const int length = MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH);
  const std::wstring separator = !folder.path.empty() && folder.path.back() == L'\\' ? L"" : L"\\";
  return Place{folder.volume, folder.path + separator + std::wstring(wide, length > 0 ? length - 1 : 0)};
}

bool SamePlace(const Place& a, const Place& b) {
  return a.volume == b.volume &&
         CompareStringOrdinal(a.path.c_str(), static_cast<int>(a.path.size()), b.path.c_str(),
                              static_cast<int>(b.path.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

bool ReachesThroughLink(const char* root, const char* path) {
  const std::optional<std::string> folder = FullPath(root), full = FullPath(path);
  if (!folder || !full) return true;
  if (*full == *folder) return false;  // the root itself, whatever it is
  if (full->compare(0, folder->size(), *folder) != 0 || (*full)[folder->size()] != '\\') return true;

  DWORD attributes = 0;
  std::optional<Place> parent = PlaceOf(*folder, attributes);
  if (!parent) return EntryExists(folder->c_str());  // no root, nothing below it
  for (size_t end = folder->size(); end < full->size();) {
    end = full->find('\\', end + 1);
    if (end == std::string::npos) end = full->size();
    const std::string step = full->substr(0, end);
    const std::optional<WIN32_FIND_DATAA> listed = Listed(step);
    if (!listed) return false;  // not there, so neither is anything below it
    std::optional<Place> place = PlaceOf(step, attributes);
    if (!place || ((attributes | listed->dwFileAttributes) & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !SamePlace(*place, PlaceIn(*parent, listed->cFileName)))
      return true;
    parent = std::move(place);
  }
  return false;
}

}  // namespace installer
