#include "part/PathRules.h"

#include <vector>

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

struct FileIdentity {
  DWORD volume = 0, indexHigh = 0, indexLow = 0;
  bool known = false;
};

// Opened for no access at all, which no other handle's sharing can refuse.
FileIdentity IdentityOf(const std::wstring& path) {
  FileIdentity identity;
  HANDLE file = CreateFileW(ExtendedLengthPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return identity;
  BY_HANDLE_FILE_INFORMATION information{};
  if (GetFileInformationByHandle(file, &information)) {
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow, true};
  }
  CloseHandle(file);
  return identity;
}

}  // namespace

BOOL FileIsAbsent(const std::wstring& folder, const std::wstring& name) {
  const std::wstring path = ExtendedLengthPath(folder + name);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return FALSE;
  }
  // Only "nothing of that name" frees the name. A sharing violation, an
  // access denial (also what a folder of that name gives) or a lock means
  // something is there.
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return TRUE;
    default:
      return FALSE;
  }
}

bool IsSameFile(const std::wstring& first, const std::wstring& second) {
  const std::wstring a = FullPathOf(first), b = FullPathOf(second);
  if (a.empty() || b.empty()) return false;
  if (CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
      CSTR_EQUAL)
    return true;
  const FileIdentity x = IdentityOf(a), y = IdentityOf(b);
  return x.known && y.known && x.volume == y.volume && x.indexHigh == y.indexHigh && x.indexLow == y.indexLow;
}
