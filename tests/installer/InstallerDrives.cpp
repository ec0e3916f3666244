#include "installer/InstallerDrives.h"

#include <cstring>

namespace installer_test {
namespace {

bool IsDot(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// Calls `visit(name, isFolder)` for each entry of `folder`.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA entry;
  const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!IsDot(entry.cFileName)) visit(std::string(entry.cFileName), (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
}

}  // namespace

void EmptyFolder(const std::string& folder) {
  ForEachEntry(folder, [&](const std::string& name, bool isFolder) {
    const std::string path = folder + "\\" + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const bool isLink = (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (isFolder && !isLink) EmptyFolder(path);
    if (isFolder) {
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  });
}

void MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3);; at = path.find('\\', at + 1)) {
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
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << " " << GetLastError();
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(ok && written == bytes.size()) << path;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
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
  ForEachEntry(source, [&](const std::string& name, bool isFolder) {
    if (isFolder) {
      CopyTree(source + "\\" + name, target + "\\" + name);
    } else {
      EXPECT_TRUE(CopyFileA((source + "\\" + name).c_str(), (target + "\\" + name).c_str(), FALSE)) << name;
    }
  });
}

void MakeEntry(const std::string& path) {
  if (path.back() == '\\') {
    MakeFolders(path.substr(0, path.size() - 1));
  } else {
    WriteFileBytes(path, path);
  }
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string CurrentDirectory() {
  char text[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof text, text);
  return text;
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  ForEachEntry(folder, [&](const std::string& name, bool) { names.push_back(name); });
  return names;
}

DeleteBlocker::DeleteBlocker(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {
  EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << path << " " << GetLastError();
}

DeleteBlocker::~DeleteBlocker() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

void InstallerDrives::ResetDrives() {
  SetCurrentDirectoryA("T:\\");
  for (const char* drive : kScratchDrives) {
    ASSERT_TRUE(IsFolder(std::string(drive) + "\\")) << drive << " is not mapped";
    EmptyFolder(drive);
  }
  MakeFolders(kDistribution);
  ASSERT_TRUE(SetCurrentDirectoryA(kDistribution));
}

}  // namespace installer_test
