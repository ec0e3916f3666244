#pragma once
// The drive layout every installer test runs in (see tests/installer/CMakeLists.txt):
// A:, B:, D:, E: and S: are empty folders of the test's own Wine prefix, T:
// holds the test programs. The fixture empties the drives around each case,
// so each case builds exactly the machine it needs.
#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"

namespace installer_test {

constexpr const char* kScratchDrives[] = {"A:", "B:", "D:", "E:", "S:"};
constexpr const char kDistribution[] = "S:\\Distribution";
constexpr const char kAddin[] = "ZELM_Compact.dll";

class InstallerDrives : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* drive : kScratchDrives) {
      ASSERT_TRUE(IsFolder(std::string(drive) + "\\")) << drive << " is not mapped";
      EmptyFolder(drive);
    }
    MakeFolders(kDistribution);
    ASSERT_TRUE(SetCurrentDirectoryA(kDistribution));
  }
  void TearDown() override {
    SetCurrentDirectoryA("T:\\");
    for (const char* drive : kScratchDrives) EmptyFolder(drive);
  }

  // A host installation: the folder with "sldworks.exe" in it.
  static void MakeHost(const std::string& folder) { WriteFileBytes(folder + "\\sldworks.exe", "host"); }
};

}  // namespace installer_test
