#pragma once
// The machine every installer test runs on (see CMakeLists.txt): A:, B:, D:,
// E: and S: are empty folders of the tests' own Wine prefix, K: holds the
// search-limit trees, T: the test programs. The fixture empties the scratch
// drives around each case and makes S:\Distribution current, so each case
// builds exactly the machine it needs.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace installer_test {

namespace fs = std::filesystem;

constexpr const char* kScratchDrives[] = {"A:", "B:", "D:", "E:", "S:"};
constexpr char kDistribution[] = "S:\\Distribution";

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
inline bool IsFolder(const std::string& path) { return Exists(path) && fs::is_directory(path); }

// Writes a file, making its folders; a path ending in a backslash makes a
// folder instead.
inline void MakeEntry(const std::string& path, const std::string& bytes = "") {
  fs::create_directories(fs::path(path).parent_path());
  if (path.back() == '\\') return;
  std::ofstream file(path, std::ios::binary);
  ASSERT_TRUE(file << bytes) << path;
}

inline std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Calls visit(path, isFolder) for each entry of `folder` in the order the
// file system lists them. (std::filesystem's iterators fail at the end of a
// listing under Wine.)
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA entry;
  const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &entry)) {
    if (std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..")
      visit(folder + "\\" + entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  }
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

// Deletes what `folder` holds, read-only entries included.
inline void EmptyFolder(const std::string& folder) {
  ForEachEntry(folder, [](const std::string& path, bool isFolder) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (isFolder) EmptyFolder(path);
    isFolder ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
  });
}

inline std::string CurrentDirectory() { return fs::current_path().string(); }

// A host installation: a folder with "sldworks.exe" in it.
inline void MakeHost(const std::string& folder) { MakeEntry(folder + "\\sldworks.exe", "host"); }

// Keeps a file or folder open without sharing its deletion: deleting or
// removing it fails while the handle lives.
using Handle = std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)>;
inline Handle BlockDeletion(const std::string& path) {
  return Handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr),
                CloseHandle);
}

class InstallerDrives : public ::testing::Test {
 protected:
  void SetUp() override { ResetDrives(); }
  void TearDown() override { ResetDrives(); }

  // Empties the scratch drives (read-only entries included) and makes an
  // empty distribution folder current.
  static void ResetDrives() {
    fs::current_path("T:\\");
    for (const char* drive : kScratchDrives) EmptyFolder(drive);
    fs::create_directories(kDistribution);
    fs::current_path(kDistribution);
  }
};

}  // namespace installer_test
