#pragma once
// The machine every installer test runs on (see CMakeLists.txt): A:, B:, D:,
// E:, S: and Y: (the last drive searched) are scratch drives, made afresh for
// each run, each holding only "outside", a link to a folder off the drives;
// F: is a drive without a
// medium; K: holds the search-limit trees and an Apps folder with links, T:
// the test programs. Each case makes what it needs with MakeEntry, and the
// fixture removes exactly that after it and makes an empty S:\Distribution
// current: each case builds the machine it needs.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/RemoveTree.h"

namespace installer_test {

namespace fs = std::filesystem;

constexpr char kScratchDrives[] = "ABDESY";
constexpr char kPlantedLink[] = "outside";  // on each scratch drive
constexpr char kDistribution[] = "S:\\Distribution";

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
inline bool IsFolder(const std::string& path) { return Exists(path) && fs::is_directory(path); }

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

inline std::string CurrentDirectory() { return fs::current_path().string(); }

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
  void TearDown() override { RemoveWhatWasMade(); }

  // Writes a file, making its folders; a path ending in a backslash makes a
  // folder instead. The topmost entry it makes goes after the case.
  void MakeEntry(const std::string& path, const std::string& bytes = "") {
    for (size_t end = path.find('\\', 3);; end = path.find('\\', end + 1)) {
      const std::string step = path.substr(0, end);
      if (!Exists(step)) {
        made_.push_back(step);
        break;
      }
      if (end >= path.size() - 1) break;
    }
    fs::create_directories(fs::path(path).parent_path());
    if (path.back() == '\\') return;
    std::ofstream file(path, std::ios::binary);
    ASSERT_TRUE(file << bytes) << path;
  }

  // A host installation: a folder with "sldworks.exe" in it.
  void MakeHost(const std::string& folder) { MakeEntry(folder + "\\sldworks.exe", "host"); }

  // Removes what the case made on the scratch drives, which must then hold
  // their link, with what is behind it, and nothing else.
  void RemoveWhatWasMade() {
    fs::current_path("T:\\");
    for (const std::string& top : made_)
      EXPECT_TRUE(testsupport::RemoveTree(std::wstring(top.begin(), top.end()), std::wstring(1, top[0]) + L":\\")) << top;
    made_.clear();
    for (const char letter : std::string(kScratchDrives)) {
      const std::string drive = std::string(1, letter) + ":\\", link = drive + kPlantedLink;
      std::vector<std::string> left, behind;
      ForEachEntry(drive.substr(0, 2), [&](const std::string& path, bool) { if (path != link) left.push_back(path); });
      ForEachEntry(link, [&](const std::string& path, bool) { behind.push_back(path); });
      EXPECT_THAT(left, ::testing::IsEmpty()) << "made by no case";
      EXPECT_THAT(behind, ::testing::Not(::testing::IsEmpty())) << link << " or what is behind it is gone";
    }
  }

  // A machine with nothing on it yet but an empty distribution folder, current.
  void ResetDrives() {
    RemoveWhatWasMade();
    MakeEntry(std::string(kDistribution) + "\\");
    fs::current_path(kDistribution);
  }

 private:
  std::vector<std::string> made_;  // the topmost entries MakeEntry made
};

}  // namespace installer_test
