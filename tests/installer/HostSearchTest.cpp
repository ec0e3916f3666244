// The search for the host over the drives, on trees that could hurt it, and
// the test whether the add-in is installed.
#include <direct.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/HostSearch.h"
#include "installer/InstallerDrives.h"

using namespace installer;
using namespace installer_test;

namespace {

constexpr char kNotFound[] = "<not found>";

class HostSearch : public InstallerDrives {
 protected:
  // Runs the drive search and checks that the current drive and folder (the
  // distribution) come back, found or not.
  static std::string Search() {
    const int driveBefore = _getdrive();
    PathBuffer folder;
    const int found = FindHostFolder(folder);
    EXPECT_EQ(CurrentDirectory(), kDistribution);
    EXPECT_EQ(_getdrive(), driveBefore);
    EXPECT_TRUE(found == 0 || found == 1);
    return found ? folder.str() : kNotFound;
  }
};

TEST_F(HostSearch, FindsTheExactFileNameOnTheFirstDriveFromBToZ) {
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
  };
  for (const auto& c : cases) {
    ResetDrives();
    for (const std::string& entry : c.entries) MakeEntry(entry);
    EXPECT_EQ(Search(), c.found) << c.what;
  }
}

TEST_F(HostSearch, SearchesAFolderWhollyBeforeTheFilesListedAfterIt) {
  // The file system decides the listing order (Wine sorts by name, NTFS
  // too). Among many folders and files, take a folder listed before a file,
  // and put a file of that name deeper in the folder: the depth-first walk
  // in listing order finds the deep one; a walk that looked at a folder's
  // files first, or went breadth-first, finds the other.
  for (int i = 0; i < 16; ++i) {
    MakeEntry("D:\\Top\\dir" + std::to_string(i) + "\\");
    MakeEntry("D:\\Top\\file" + std::to_string(i), "");
  }
  const std::vector<std::string> listed = ListFolder("D:\\Top");
  const auto folder = std::find_if(listed.begin(), listed.end(), [](const std::string& n) { return n[0] == 'd'; });
  const auto file = std::find_if(folder, listed.end(), [](const std::string& n) { return n[0] == 'f'; });
  ASSERT_NE(file, listed.end()) << "no folder is listed before a file";
  MakeEntry("D:\\Top\\" + *folder + "\\Deep\\" + *file, "");

  ASSERT_TRUE(SetCurrentDirectoryA("D:\\Top"));
  PathBuffer path("D:\\Top\\");
  EXPECT_EQ(SearchFolderTree(path, file->c_str()), 1);
  EXPECT_EQ(path.str(), "D:\\Top\\" + *folder + "\\Deep\\");
}

TEST(SearchLimits, NeverFollowsLinksAndSkipsWhatDoesNotFitThePath) {
  // The trees of make_search_trees.py. K:\edge\xxxxxxx\...\yyy\ is the one
  // chain of folders below K:\edge.
  std::string edge = "K:\\edge";
  for (auto names = ListFolder(edge); names.size() == 1 && IsFolder(edge + "\\" + names[0]); names = ListFolder(edge))
    edge += "\\" + names[0];
  edge += "\\";
  ASSERT_EQ(edge.size(), 259u);
  // Wine shows a link to a folder as a folder with the reparse-point bit, and
  // the target behind the link that leaves the drive is there for anyone who
  // follows it.
  const DWORD linkBits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  ASSERT_EQ(GetFileAttributesA("K:\\links\\self") & linkBits, linkBits);
  ASSERT_TRUE(Exists("K:\\links\\a\\outside\\target.bin"));

  const struct {
    std::string folder;  // searched as the drive search does a drive's root
    std::string found;
  } cases[] = {{"K:\\links\\", kNotFound}, {"K:\\deep\\", kNotFound}, {"K:\\edge\\", edge}};
  for (const auto& c : cases) {
    ASSERT_TRUE(SetCurrentDirectoryA(c.folder.c_str())) << c.folder;
    PathBuffer path(c.folder.c_str());
    EXPECT_EQ(SearchFolderTree(path, "target.bin") ? path.str() : kNotFound, c.found) << c.folder;
  }
  SetCurrentDirectoryA("T:\\");
}

TEST_F(HostSearch, TellsWhetherTheAddinIsInstalled) {
  const struct {
    const char* made;  // below D:\SW; a trailing backslash makes a folder
    int installed;
  } cases[] = {{"", 0}, {"Apps\\", 0}, {"Apps\\ZELM_Compact.dll", 1}, {"Apps\\ZELM_Compact.dll\\", 1}};
  for (const auto& c : cases) {
    ResetDrives();
    MakeHost("D:\\SW");
    MakeEntry(std::string("D:\\SW\\") + c.made);
    EXPECT_EQ(IsAddinInstalled("D:\\SW\\", "ZELM_Compact.dll"), c.installed) << c.made;
  }
}

}  // namespace
