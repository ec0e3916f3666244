// The search for the host over the drives, and on trees that could hurt it.
#include <direct.h>
#include <gtest/gtest.h>

#include "core/HostSearch.h"
#include "installer/InstallerDrives.h"

using namespace installer;
using namespace installer_test;

namespace {

constexpr char kNotFound[] = "<not found>";

class HostSearch : public InstallerDrives {};

TEST_F(HostSearch, FindsTheExactFileNameOnTheFirstDriveFromBToZDepthFirst) {
  const struct {
    const char* what;
    std::vector<std::string> entries;  // files made; a trailing backslash makes a folder
    std::string found;
  } cases[] = {
      {"no host", {}, kNotFound},
      {"the folder, with a backslash", {"D:\\Program Files\\SW\\sldworks.exe"}, "D:\\Program Files\\SW\\"},
      {"the lower drive letter wins", {"E:\\SW\\sldworks.exe", "D:\\a\\b\\SW\\sldworks.exe"}, "D:\\a\\b\\SW\\"},
      {"B: is searched", {"B:\\SW\\sldworks.exe", "D:\\SW\\sldworks.exe"}, "B:\\SW\\"},
      {"A: never is", {"A:\\SW\\sldworks.exe", "A:\\sldworks.exe"}, kNotFound},
      {"the name matches by case, and never as a folder",
       {"D:\\Upper\\SLDWORKS.EXE", "D:\\Mixed\\SldWorks.exe", "D:\\Folder\\sldworks.exe\\", "E:\\Real\\sldworks.exe"},
       "E:\\Real\\"},
      // The file system lists "A" before "sldworks.exe" and "B" before "Deep"
      // (Wine and NTFS sort by name): a walk that looked at a folder's files
      // first, or went breadth-first, would take D:\; one that kept B in the
      // path after searching it in vain, D:\A\B\Deep\.
      {"depth first, in listing order",
       {"D:\\sldworks.exe", "D:\\A\\B\\", "D:\\A\\Deep\\sldworks.exe"}, "D:\\A\\Deep\\"},
  };
  for (const auto& c : cases) {
    ResetDrives();
    for (const std::string& entry : c.entries) MakeEntry(entry);
    const int driveBefore = _getdrive();
    PathBuffer folder;
    EXPECT_EQ(FindHostFolder(folder) == 1 ? folder.Text() : kNotFound, c.found) << c.what;
    // Found or not, the distribution is current again.
    EXPECT_EQ(CurrentDirectory(), kDistribution) << c.what;
    EXPECT_EQ(_getdrive(), driveBefore) << c.what;
  }
}

// The trees of make_test_drives.py: links that loop or leave the drive, and
// targets in folders too deep for a 260-character path, but one.
TEST(SearchLimits, NeverFollowsLinksAndSkipsWhatDoesNotFitThePath) {
  // Wine shows a link to a folder as a folder with the reparse-point bit, and
  // the target behind the link that leaves the drive is there for anyone who
  // follows it.
  const DWORD linkBits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  ASSERT_EQ(GetFileAttributesA("K:\\links\\self") & linkBits, linkBits);
  ASSERT_TRUE(Exists("K:\\links\\a\\outside\\target.bin"));
  const struct {
    const char* folder;  // searched as the drive search does a drive's root
    size_t found;        // the length of the folder found; 0: none
  } cases[] = {{"K:\\links\\", 0}, {"K:\\deep\\", 0}, {"K:\\edge\\", 259}};
  for (const auto& c : cases) {
    ASSERT_TRUE(SetCurrentDirectoryA(c.folder)) << c.folder;
    PathBuffer path(c.folder);
    EXPECT_EQ(SearchFolderTree(path, "target.bin") ? path.Text().size() : 0, c.found) << c.folder;
  }
  SetCurrentDirectoryA("T:\\");
}

}  // namespace
