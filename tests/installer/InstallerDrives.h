#pragma once
// The machine every installer test runs on (see CMakeLists.txt): A:, B:, D:,
// E: and S: are scratch drives, made afresh for each run, each holding only
// "outside", a link to a folder off the drives; K: holds the search-limit
// trees, T: the test programs. Each case makes what it needs there with
// MakeEntry, and the fixture removes exactly that after it and makes an
// empty S:\Distribution current: each case builds the machine it needs.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
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

constexpr const char* kScratchDrives[] = {"A:", "B:", "D:", "E:", "S:"};
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
  // folder instead. What it makes on a scratch drive goes after the case.
  void MakeEntry(const std::string& path, const std::string& bytes = "") {
    const std::string top = path.substr(0, path.find('\\', 3));
    const bool scratch = std::any_of(std::begin(kScratchDrives), std::end(kScratchDrives),
                                     [&](const char* drive) { return path.rfind(drive, 0) == 0; });
    if (scratch && top.size() > 3 && !Exists(top)) made_.push_back(top);
    fs::create_directories(fs::path(path).parent_path());
    if (path.back() == '\\') return;
    std::ofstream file(path, std::ios::binary);
    ASSERT_TRUE(file << bytes) << path;
  }

  // A host installation: a folder with "sldworks.exe" in it.
  void MakeHost(const std::string& folder) { MakeEntry(folder + "\\sldworks.exe", "host"); }

  // Removes what the case made on the scratch drives, which must then hold
  // their link and nothing else.
  void RemoveWhatWasMade() {
    fs::current_path("T:\\");
    for (const std::string& top : made_) {
      const std::wstring path(top.begin(), top.end()), drive = path.substr(0, 3);
      EXPECT_TRUE(testsupport::RemoveTree(path, drive)) << top;
    }
    made_.clear();
    for (const std::string drive : kScratchDrives) {
      std::vector<std::string> left;
      ForEachEntry(drive, [&](const std::string& path, bool) {
        if (path != drive + "\\" + kPlantedLink) left.push_back(path);
      });
      EXPECT_THAT(left, ::testing::IsEmpty()) << "made by no case";
      int behind = 0;
      ForEachEntry(drive + "\\" + kPlantedLink, [&](const std::string&, bool) { ++behind; });
      EXPECT_GT(behind, 0) << drive << " lost its link, or what is behind it";
    }
  }

  // A machine with nothing on it yet but an empty distribution folder, current.
  void ResetDrives() {
    RemoveWhatWasMade();
    MakeEntry(std::string(kDistribution) + "\\");
    fs::current_path(kDistribution);
  }

 private:
  std::vector<std::string> made_;  // the topmost entries MakeEntry made on the scratch drives
};

}  // namespace installer_test
