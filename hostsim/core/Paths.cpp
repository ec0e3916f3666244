#include "core/Paths.h"

#include <windows.h>

namespace hostsim {

std::wstring folderOfPath(const std::wstring& path) {
  size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring fileNameOfPath(const std::wstring& path) {
  size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring fileStem(const std::wstring& path) {
  std::wstring name = fileNameOfPath(path);
  size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring fullPath(const std::wstring& path) {
  if (path.empty()) return path;
  wchar_t buffer[MAX_PATH * 2];
  DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
  return length == 0 || length >= MAX_PATH * 2 ? path : std::wstring(buffer, length);
}

bool isAbsolutePath(const std::wstring& path) {
  return (!path.empty() && path[0] == L'\\') || (path.size() > 2 && path[1] == L':' && path[2] == L'\\');
}

bool sameFileName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace hostsim
