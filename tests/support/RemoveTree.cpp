#include "support/RemoveTree.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <optional>
#include <vector>

namespace testsupport {
namespace {

// Every call below takes the extended-length form, so that trees deeper than
// MAX_PATH go too.
constexpr wchar_t kLongPrefix[] = L"\\\\?\\";

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

std::wstring WithoutTrailingBackslash(std::wstring path) {
  if (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring WithoutLongPrefix(std::wstring path) {
  return path.compare(0, 4, kLongPrefix) == 0 ? path.substr(4) : path;
}

// "X:\" and names separated by single backslashes, none of them "." or "..",
// none ending in a dot or a space (which Windows would drop), no "/", ":" or
// wildcard past the drive. One trailing backslash is allowed.
bool IsPlainAbsolute(const std::wstring& path) {
  if (path.size() < 3 || !iswalpha(path[0]) || path[1] != L':' || path[2] != L'\\') return false;
  const std::wstring names = WithoutTrailingBackslash(path).substr(3);
  for (size_t start = 0; start < names.size();) {
    const size_t end = std::min(names.find(L'\\', start), names.size());
    const std::wstring name = names.substr(start, end - start);
    if (name.empty() || name.back() == L'.' || name.back() == L' ' ||
        name.find_first_of(L"/:*?\"<>|") != std::wstring::npos)
      return false;
    start = end + 1;
  }
  return true;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

bool IsStrictlyBelow(const std::wstring& path, const std::wstring& folder) {
  const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L'\\';
  return path.size() > prefix.size() && SamePath(path.substr(0, prefix.size()), prefix);
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

FileHandle Open(const std::wstring& path, DWORD access) {
  const HANDLE file = CreateFileW((kLongPrefix + path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// Where an open file lies, as the system itself tells: its volume, and its
// path on that volume ("\a\b", "\" for the root). (Not its final path
// name: Wine 8.0 gives none longer than MAX_PATH.)
struct Location {
  DWORD volume = 0;
  std::wstring path;
};

std::optional<Location> LocationOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  std::vector<DWORD> buffer((sizeof(FILE_NAME_INFO) + 65536) / sizeof(DWORD));
  auto* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  if (!GetFileInformationByHandle(file, &info) ||
      !GetFileInformationByHandleEx(file, FileNameInfo, name, static_cast<DWORD>(buffer.size() * sizeof(DWORD))))
    return std::nullopt;
  return Location{info.dwVolumeSerialNumber, std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t))};
}

Location Below(const Location& folder, const std::wstring& relative) {
  return {folder.volume, Join(folder.path, relative)};
}

bool IsAt(HANDLE file, const Location& expected) {
  const std::optional<Location> actual = LocationOf(file);
  return actual && actual->volume == expected.volume && SamePath(actual->path, expected.path);
}

bool RemoveEntry(const std::wstring& path, const Location& expected, DWORD listedAttributes);

// Removes what a folder holds, as far as it can. The listing is read through
// the folder's own handle (Wine refuses a second listing handle while one
// with delete access is open).
void RemoveChildren(HANDLE folder, const std::wstring& path, const Location& location) {
  alignas(8) unsigned char buffer[16384];
  FILE_INFO_BY_HANDLE_CLASS listing = FileIdBothDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(folder, listing, buffer, sizeof buffer)) {
    listing = FileIdBothDirectoryInfo;
    for (size_t offset = 0;;) {
      const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + offset);
      const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") RemoveEntry(Join(path, name), Below(location, name), entry->FileAttributes);
      if (entry->NextEntryOffset == 0) break;
      offset += entry->NextEntryOffset;
    }
  }
}

// Removes `path` through one handle: what is checked is what is deleted.
//
// Wine 8.0 shows a Linux symbolic link to a folder with the reparse-point bit
// (in listings and GetFileAttributesW), but a link to a file as a plain file;
// and FILE_FLAG_OPEN_REPARSE_POINT does not stop it from opening what is
// behind the link, so that deleting a link deletes its target, and removing a
// link to an empty folder removes that folder. What does tell a link is the
// place Wine gives the opened file: the target's. So nothing is deleted or
// entered unless the system places it where it was reached.
bool RemoveEntry(const std::wstring& path, const Location& expected, DWORD listedAttributes) {
  const FileHandle entry = Open(path, DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
  if (!entry) return false;
  if (!IsAt(entry.get(), expected)) return false;  // reached through a link
  FILE_BASIC_INFO basic{};
  if (!GetFileInformationByHandleEx(entry.get(), FileBasicInfo, &basic, sizeof basic)) return false;
  const DWORD attributes = basic.FileAttributes | listedAttributes;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveChildren(entry.get(), path, expected);
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    FILE_BASIC_INFO writable{};  // zero times: left as they are
    writable.FileAttributes = (basic.FileAttributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(entry.get(), FileBasicInfo, &writable, sizeof writable);
  }
  // Deleted when the handle closes; a folder that still holds anything fails here.
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

}  // namespace

std::wstring TemporaryFolder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return {};
  const std::wstring folder = WithoutTrailingBackslash(std::wstring(buffer, length));
  if (!IsPlainAbsolute(folder) || folder.size() <= 3) return {};
  return folder + L'\\';
}

bool RemoveTree(const std::wstring& root, const std::wstring& scratch) {
  if (!IsPlainAbsolute(root) || !IsPlainAbsolute(scratch) || !IsStrictlyBelow(root, scratch)) return false;
  // The scratch folder must be a folder, and not be reached through a link
  // either: the system places it at its own path (in long form, as the
  // system gives it).
  const FileHandle folder = Open(scratch, FILE_READ_ATTRIBUTES);
  FILE_BASIC_INFO basic{};
  if (!folder || !GetFileInformationByHandleEx(folder.get(), FileBasicInfo, &basic, sizeof basic) ||
      !(basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  std::wstring longForm(32768, L'\0');
  longForm.resize(GetLongPathNameW((kLongPrefix + scratch).c_str(), longForm.data(), static_cast<DWORD>(longForm.size())));
  longForm = WithoutTrailingBackslash(WithoutLongPrefix(longForm));
  const std::optional<Location> place = LocationOf(folder.get());
  if (longForm.size() < 3 || !place || !SamePath(place->path, longForm.substr(2))) return false;

  // The root, with the place the system must give it.
  const std::wstring folderPath = WithoutTrailingBackslash(scratch);
  std::wstring relative = WithoutTrailingBackslash(root).substr(folderPath.size());
  if (relative[0] == L'\\') relative.erase(0, 1);
  const std::wstring path = Join(folderPath, relative);
  const DWORD listed = GetFileAttributesW((kLongPrefix + path).c_str());
  if (listed == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
  return RemoveEntry(path, Below(*place, relative), listed);
}

}  // namespace testsupport
