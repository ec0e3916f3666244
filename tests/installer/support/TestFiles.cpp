#include "TestFiles.h"

#include <gtest/gtest.h>

namespace installer_test {

namespace {
bool IsDot(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }
}  // namespace

void EmptyFolder(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (IsDot(entry.cFileName)) continue;
    const std::string path = folder + "\\" + entry.cFileName;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    const bool isLink = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (isFolder && !isLink) {
      EmptyFolder(path);
      RemoveDirectoryA(path.c_str());
    } else if (isFolder) {
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

void MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
    const std::string prefix = path.substr(0, at);
    if (!IsFolder(prefix)) {
      ASSERT_TRUE(CreateDirectoryA(prefix.c_str(), nullptr)) << prefix << " " << GetLastError();
    }
    if (at == std::string::npos) break;
  }
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << " " << GetLastError();
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(ok && written == bytes.size()) << path;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void CopyTree(const std::string& source, const std::string& target) {
  MakeFolders(target);
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((source + "\\*").c_str(), &entry);
  ASSERT_NE(find, INVALID_HANDLE_VALUE) << source;
  do {
    if (IsDot(entry.cFileName)) continue;
    const std::string from = source + "\\" + entry.cFileName;
    const std::string to = target + "\\" + entry.cFileName;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(from, to);
    } else {
      ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from;
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path) { return Exists(path) && !IsFolder(path); }

void SetReadOnly(const std::string& path) {
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << path;
}

std::string CurrentDirectory() {
  char text[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof text, text);
  return text;
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!IsDot(entry.cFileName)) names.push_back(entry.cFileName);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return names;
}

}  // namespace installer_test
