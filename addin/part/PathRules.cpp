#include "part/PathRules.h"

#include <string_view>
#include <vector>

namespace zelm {

std::wstring FolderOfPath(std::wstring path) {
  const size_t last = path.rfind(L'\\');
  if (last == std::wstring::npos) return std::wstring();
  path.resize(last + 1);
  return path;
}

std::wstring FileNameOfPath(std::wstring path) {
  const size_t last = path.rfind(L'\\');
  if (last == std::wstring::npos) return path;
  return path.substr(last + 1);
}

namespace {

// GetFullPathNameW with a buffer as large as the answer needs; empty when
// the path cannot be made absolute.
std::wstring FullPathOf(const std::wstring& path) {
  if (path.empty()) return std::wstring();
  DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::vector<wchar_t> buffer(needed);
  DWORD written = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
  if (written == 0 || written >= needed) return std::wstring();
  return std::wstring(buffer.data(), written);
}

// The form of an absolute path that the file system accepts beyond MAX_PATH
// characters ("\\?\C:\..." or "\\?\UNC\server\..."): a long existing file
// must not be taken for a free name because its path is long. Shorter paths,
// and paths that cannot be made absolute, come back unchanged.
std::wstring ExtendedLengthPath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
  // The prefixed form is taken literally: it must be absolute and canonical.
  const std::wstring full = FullPathOf(path);
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
  if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\') return L"\\\\?\\UNC\\" + full.substr(2);
  return path;
}

// The names Windows keeps for devices, with or without an extension, in any
// case, blanks before the point ignored.
bool IsDeviceName(const std::wstring& name) {
  std::wstring stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  CharUpperBuffW(stem.data(), static_cast<DWORD>(stem.size()));
  if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL") return true;
  if (stem.size() != 4 || (stem.compare(0, 3, L"COM") != 0 && stem.compare(0, 3, L"LPT") != 0)) return false;
  const wchar_t digit = stem[3];
  return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

}  // namespace

std::optional<std::wstring> CopyNameOfPath(const std::wstring& path) {
  const size_t last = path.find_last_of(L"\\/");
  std::wstring name = last == std::wstring::npos ? path : path.substr(last + 1);
  if (name.empty() || name == L"." || name == L"..") return std::nullopt;
  if (name.back() == L'.' || name.back() == L' ') return std::nullopt;
  for (wchar_t c : name)
    if (c < 32 || std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos) return std::nullopt;
  if (IsDeviceName(name)) return std::nullopt;
  return name;
}

// Opened for no access at all, which no other handle's sharing can refuse.
std::optional<FileIdentity> IdentityOfFile(const std::wstring& path) {
  HANDLE file = CreateFileW(ExtendedLengthPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  std::optional<FileIdentity> identity;
  if (GetFileInformationByHandle(file, &information))
    identity = FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
  CloseHandle(file);
  return identity;
}

bool FileIsAbsent(const std::wstring& folder, const std::wstring& name) {
  const std::wstring path = ExtendedLengthPath(folder + name);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  // Only "nothing of that name" frees the name. A sharing violation, an
  // access denial (also what a folder of that name gives) or a lock means
  // something is there.
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return true;
    default:
      return false;
  }
}

bool IsSameFile(const std::wstring& first, const std::wstring& second) {
  const std::wstring a = FullPathOf(first), b = FullPathOf(second);
  if (a.empty() || b.empty()) return false;
  if (CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
      CSTR_EQUAL)
    return true;
  const std::optional<FileIdentity> x = IdentityOfFile(a), y = IdentityOfFile(b);
  return x && y && *x == *y;
}

}  // namespace zelm
