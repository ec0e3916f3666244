#include "support/RemoveTree.h"

#include <windows.h>

#include <cwctype>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace testsupport {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;
// Where the system places an open file: its volume, and its path there.
using Place = std::pair<DWORD, std::wstring>;

// Every call takes the extended-length form: trees deeper than MAX_PATH go too.
std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }

std::wstring Trimmed(std::wstring path) {
  if (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

// "X:\" and names separated by single backslashes, none "." or "..", none
// ending in a dot or a space (which Windows drops), no "/", ":" or wildcard.
bool IsPlainAbsolute(const std::wstring& path) {
  const std::wstring names = path.size() > 3 ? L"\\" + Trimmed(path).substr(3) + L"\\" : L"";
  return path.size() >= 3 && iswalpha(path[0]) && path.compare(1, 2, L":\\") == 0 &&
         names.find_first_of(L"/:*?\"<>|") == std::wstring::npos && names.find(L"\\\\") == std::wstring::npos &&
         names.find(L".\\") == std::wstring::npos && names.find(L" \\") == std::wstring::npos;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

FileHandle Open(const std::wstring& path, DWORD access) {
  const HANDLE file = CreateFileW(Long(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// The path is the one on the volume ("\a\b", "\" for its root), not the final
// path name, which Wine 8.0 does not give past MAX_PATH.
std::optional<Place> PlaceOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  std::vector<DWORD> buffer((sizeof(FILE_NAME_INFO) + 65536) / sizeof(DWORD));
  auto* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  if (!GetFileInformationByHandle(file, &info) ||
      !GetFileInformationByHandleEx(file, FileNameInfo, name, static_cast<DWORD>(buffer.size() * sizeof(DWORD))))
    return std::nullopt;
  return Place{info.dwVolumeSerialNumber, std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t))};
}

bool RemoveEntry(const std::wstring& path, const Place& expected, DWORD listedAttributes);

// Removes what a folder holds, as far as it can, listed through the folder's
// own handle (Wine refuses a second one while one with delete access is open).
void RemoveChildren(HANDLE folder, const std::wstring& path, const Place& place) {
  alignas(8) unsigned char buffer[16384];
  FILE_INFO_BY_HANDLE_CLASS listing = FileIdBothDirectoryRestartInfo;
  for (; GetFileInformationByHandleEx(folder, listing, buffer, sizeof buffer); listing = FileIdBothDirectoryInfo) {
    for (size_t offset = 0, next = 1; next; offset += next) {
      const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + offset);
      const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..")
        RemoveEntry(Join(path, name), {place.first, Join(place.second, name)}, entry->FileAttributes);
      next = entry->NextEntryOffset;
    }
  }
}

// Removes `path` through one handle: what is checked is what is deleted.
//
// Wine 8.0 shows a Linux symbolic link to a folder with the reparse-point bit
// (in listings and GetFileAttributesW) but a link to a file as a plain file;
// FILE_FLAG_OPEN_REPARSE_POINT does not keep it from opening what is behind a
// link, so deleting a link deletes its target, and removing a link to an
// empty folder removes that folder. What tells a link is where the system
// places the opened file: where its target lies. So nothing is deleted or
// entered unless the system places it where it was reached.
bool RemoveEntry(const std::wstring& path, const Place& expected, DWORD listedAttributes) {
  const FileHandle entry = Open(path, DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
  const std::optional<Place> place = entry ? PlaceOf(entry.get()) : std::nullopt;
  FILE_BASIC_INFO basic{};
  if (!place || place->first != expected.first || !SamePath(place->second, expected.second) ||
      !GetFileInformationByHandleEx(entry.get(), FileBasicInfo, &basic, sizeof basic))
    return false;
  const DWORD attributes = basic.FileAttributes | listedAttributes;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    RemoveChildren(entry.get(), path, expected);
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
  const std::wstring folder = Trimmed(std::wstring(buffer, length <= MAX_PATH ? length : 0));
  return IsPlainAbsolute(folder) && folder.size() > 3 ? folder + L'\\' : std::wstring();
}

bool RemoveTree(const std::wstring& root, const std::wstring& scratch) {
  const std::wstring folder = Trimmed(scratch), target = Trimmed(root);
  if (!IsPlainAbsolute(folder) || !IsPlainAbsolute(target) || target.size() <= Join(folder, L"").size() ||
      !SamePath(target.substr(0, Join(folder, L"").size()), Join(folder, L"")))
    return false;
  // The scratch folder is a folder that the system places at its own path (in
  // long form: the system's has no short names), so no link leads to it.
  const FileHandle handle = Open(folder, FILE_READ_ATTRIBUTES);
  const std::optional<Place> place = handle ? PlaceOf(handle.get()) : std::nullopt;
  std::wstring longForm(32768, L'\0');
  longForm.resize(GetLongPathNameW(Long(folder).c_str(), longForm.data(), static_cast<DWORD>(longForm.size())));
  longForm = longForm.size() > 6 ? Trimmed(longForm.substr(4)) : std::wstring();
  const DWORD kind = GetFileAttributesW(Long(folder).c_str());
  if (!place || longForm.empty() || !SamePath(place->second, longForm.substr(2)) || kind == INVALID_FILE_ATTRIBUTES ||
      !(kind & FILE_ATTRIBUTE_DIRECTORY))
    return false;

  // The root, and the place the system must give it.
  const std::wstring relative = target.substr(Join(folder, L"").size());
  const DWORD listed = GetFileAttributesW(Long(target).c_str());
  if (listed == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
  return RemoveEntry(target, {place->first, Join(place->second, relative)}, listed);
}

}  // namespace testsupport
