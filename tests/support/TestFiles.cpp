#include "support/TestFiles.h"

namespace testsupport {
namespace {

// Removes a folder and everything below it, paths beyond MAX_PATH included
// (the extended-length form). Links are removed, never followed.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((L"\\\\?\\" + folder + L"*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      const bool descend = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                           !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
      if (descend) {
        RemoveTree(path + L"\\");
      } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW((L"\\\\?\\" + path).c_str());
      } else {
        SetFileAttributesW((L"\\\\?\\" + path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((L"\\\\?\\" + path).c_str());
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

}  // namespace

TempFolder::TempFolder() {
  // Wine reuses small process ids from run to run: a name is taken only when
  // the folder could be made new.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  for (unsigned attempt = GetTickCount();; ++attempt) {
    path_ = std::wstring(temp) + L"t" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt % 100000) + L"\\";
    if (CreateDirectoryW(path_.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

// Only a folder of our own below the temporary folder is ever removed: a
// wrong path here would otherwise empty whatever folder it named.
TempFolder::~TempFolder() {
  wchar_t temp[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, temp);
  const bool below = length > 3 && path_.size() > length + 1 && path_.compare(0, length, temp) == 0 &&
                     path_.find(L"\\..") == std::wstring::npos;
  if (below) RemoveTree(path_);
}

std::wstring TempFolder::subfolder(const std::wstring& name) const {
  const std::wstring folder = path_ + name + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  return ok;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace testsupport
