#pragma once
// The machine every installer test runs on (see CMakeLists.txt): A:, B:, D:,
// E: and S: are empty folders of the tests' own Wine prefix, T: holds the
// test programs. The fixture empties the drives around each case and makes
// S:\Distribution current, so each case builds exactly the machine it needs.
// The file helpers go through Win32, so the tests see the drives as the
// installer does.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace installer_test {

constexpr const char* kScratchDrives[] = {"A:", "B:", "D:", "E:", "S:"};
constexpr char kDistribution[] = "S:\\Distribution";

void EmptyFolder(const std::string& folder);  // read-only entries included; links are not followed
void MakeFolders(const std::string& path);    // like mkdir -p
void WriteFileBytes(const std::string& path, const std::string& bytes);  // makes the folders too
std::optional<std::string> ReadFileBytes(const std::string& path);
void CopyTree(const std::string& source, const std::string& target);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
std::string CurrentDirectory();
// Names in the order the file system lists them, without "." and "..".
std::vector<std::string> ListFolder(const std::string& folder);

// A file holding its own path, or a folder when `path` ends in a backslash.
void MakeEntry(const std::string& path);
// A host installation: a folder with "sldworks.exe" in it.
inline void MakeHost(const std::string& folder) { WriteFileBytes(folder + "\\sldworks.exe", "host"); }

// Keeps a file or folder open without sharing deletion, so that deleting or
// removing it fails as long as this object lives.
class DeleteBlocker {
 public:
  explicit DeleteBlocker(const std::string& path);
  ~DeleteBlocker();
  DeleteBlocker(DeleteBlocker&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }
  DeleteBlocker(const DeleteBlocker&) = delete;
  DeleteBlocker& operator=(const DeleteBlocker&) = delete;

 private:
  HANDLE handle_;
};

class InstallerDrives : public ::testing::Test {
 protected:
  void SetUp() override { ResetDrives(); }
  void TearDown() override {
    SetCurrentDirectoryA("T:\\");
    for (const char* drive : kScratchDrives) EmptyFolder(drive);
  }
  // Empties the drives again and makes an empty distribution folder current.
  static void ResetDrives();
};

}  // namespace installer_test
