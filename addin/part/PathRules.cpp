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

// GetFullPathNameW with a buffer as large as the answer needs.
std::wstring FullPathOf(const std::wstring& path) {
  DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::wstring();
  std::vector<wchar_t> buffer(needed);
  DWORD written = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
  if (written == 0 || written >= needed) return std::wstring();
  return std::wstring(buffer.data(), written);
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
  // The prefixed form is taken literally by the file system: it must be
  // absolute and canonical ("." and "..", and forward slashes, resolved).
  std::wstring full = FullPathOf(path);
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
  if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\') return L"\\\\?\\UNC\\" + full.substr(2);
  return path;
}

BOOL FileIsAbsent(const std::wstring& folder, const std::wstring& name) {
  // A path beyond MAX_PATH would fail to open for its length alone and be
  // taken for a free name: open it by its extended-length form instead.
  const std::wstring path = ExtendedLengthPath(folder + name);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  CloseHandle(file);
  return FALSE;
}
