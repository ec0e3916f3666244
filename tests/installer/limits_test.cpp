// The host search on trees that could hurt it: links that loop back or lead
// off the drive, and folders deeper than a 260-character path buffer. The
// trees on K: are made by make_search_trees.py before these tests run.
#include <direct.h>
#include <gtest/gtest.h>

#include "core/HostSearch.h"
#include "support/TestFiles.h"

using namespace installer;
using namespace installer_test;

namespace {

// Searches the tree below `folder` (ending in a backslash) as the drive
// search does for each drive's root.
std::string SearchBelow(const std::string& folder) {
  EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
  PathBuffer path(folder.c_str());
  const int found = SearchFolderTree(path, kHostExecutable);
  SetCurrentDirectoryA("T:\\");
  return found ? path.str() : std::string("<not found>");
}

std::string EdgeFolder() {
  // K:\edge\xxxxxxx\...\yyy\ : the one chain of folders below K:\edge.
  std::string folder = "K:\\edge";
  for (std::vector<std::string> names = ListFolder(folder); names.size() == 1 && IsFolder(folder + "\\" + names[0]);
       names = ListFolder(folder))
    folder += "\\" + names[0];
  return folder + "\\";
}

TEST(SearchLimits, TheTreesArePrepared) {
  ASSERT_TRUE(IsFolder("K:\\links\\a\\b"));
  // Wine shows a link to a folder as a folder with the reparse-point bit.
  EXPECT_EQ(GetFileAttributesA("K:\\links\\self") & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
            DWORD{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT});
  // The host behind the link is reachable for anyone who follows it.
  EXPECT_TRUE(IsFile("K:\\links\\a\\outside\\sldworks.exe"));
  EXPECT_EQ(EdgeFolder().size(), 259u);
}

TEST(SearchLimits, NeverFollowsALinkOrJunction) {
  // Links to the folder itself, its parent and the drive's root would loop;
  // the link that leaves the drive leads to a "sldworks.exe".
  EXPECT_EQ(SearchBelow("K:\\links\\"), "<not found>");
}

TEST(SearchLimits, SkipsFoldersWhosePathDoesNotFitTheBuffer) {
  EXPECT_EQ(SearchBelow("K:\\deep\\"), "<not found>");
}

TEST(SearchLimits, FindsTheHostInTheDeepestFolderThatFits) {
  const std::string edge = EdgeFolder();
  EXPECT_EQ(SearchBelow("K:\\edge\\"), edge);
}

TEST(SearchLimits, TheDriveSearchEndsAndFindsOnlyTheReachableHost) {
  ASSERT_TRUE(SetCurrentDirectoryA("T:\\"));
  PathBuffer path;
  ASSERT_EQ(FindHostFolder(path), 1);
  EXPECT_EQ(path.str(), EdgeFolder());
  EXPECT_EQ(CurrentDirectory(), "T:\\");
}

}  // namespace
