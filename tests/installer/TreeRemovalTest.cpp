// The one way the tests remove a tree (support/RemoveTree.h), on K:\removal:
// the Linux side made it with links to a folder and to a file off the drive
// (make_test_drives.py), which Wine shows as a folder and as a plain file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "installer/InstallerDrives.h"
#include "support/RemoveTree.h"
#include "support/TestFiles.h"

using namespace installer_test;
using testsupport::RemoveTree;

namespace {

TEST(RemoveTree, RefusesWhatIsNotPlainlyBelowItsScratchFolderAndNeverTouchesWhatIsBehindALink) {
  ASSERT_TRUE(SetCurrentDirectoryA("K:\\removal"));
  for (const wchar_t* root : {L"", L".", L"file.txt", L"\\removal", L"K:removal", L"K:/removal", L"K:\\links\\..\\removal",
                              L"K:\\removal\\.", L"K:\\removal\\file.txt.", L"K:\\", L"T:\\sample-distribution",
                              L"K:\\removal\\linked-folder\\target.bin", L"K:\\removal\\linked-file"})
    EXPECT_FALSE(RemoveTree(root, L"K:\\")) << testsupport::Utf8(root);
  EXPECT_FALSE(RemoveTree(L"K:\\removal")) << "not below the temporary folder";
  EXPECT_FALSE(RemoveTree(L"K:\\removal\\linked-folder\\target.bin", L"K:\\removal\\linked-folder")) << "a link";
  SetCurrentDirectoryA("T:\\");
  EXPECT_EQ(ReadFileBytes("K:\\removal\\file.txt"), "file");

  // All goes but the links, which Wine cannot remove without what is behind
  // them (Windows removes a link as a link).
  EXPECT_FALSE(RemoveTree(L"K:\\removal", L"K:\\"));
  std::vector<std::string> left;
  ForEachEntry("K:\\removal", [&](const std::string& path, bool) { left.push_back(path); });
  EXPECT_THAT(left, ::testing::UnorderedElementsAre("K:\\removal\\linked-file", "K:\\removal\\linked-folder"));
  EXPECT_EQ(ReadFileBytes("K:\\links\\a\\outside\\target.bin"), "behind a link");

  std::wstring temporary;
  {
    const testsupport::TempFolder folder;
    temporary = folder.subfolder(L"a");
    ASSERT_TRUE(testsupport::WriteFileBytes(temporary + L"read-only.txt", "x"));
    SetFileAttributesW((temporary + L"read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  }
  EXPECT_FALSE(testsupport::FileExists(temporary));
}

}  // namespace
