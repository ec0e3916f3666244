// The host search on trees that could hurt it, made on K: by
// make_search_trees.py: links that loop back or lead off the drive, folders
// too deep for a 260-character path, and the deepest folder that fits.
#include <gtest/gtest.h>

#include "core/HostSearch.h"
#include "installer/InstallerDrives.h"

using namespace installer;
using namespace installer_test;

namespace {

TEST(SearchLimits, NeverFollowsLinksAndSkipsWhatDoesNotFitThePath) {
  // K:\edge\xxxxxxx\...\yyy\ : the one chain of folders below K:\edge.
  std::string edge = "K:\\edge";
  for (auto names = ListFolder(edge); names.size() == 1 && IsFolder(edge + "\\" + names[0]); names = ListFolder(edge))
    edge += "\\" + names[0];
  edge += "\\";
  ASSERT_EQ(edge.size(), 259u);
  // Wine shows a link to a folder as a folder with the reparse-point bit, and
  // the host behind the link that leaves the drive is there for anyone who
  // follows it.
  const DWORD linkBits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  ASSERT_EQ(GetFileAttributesA("K:\\links\\self") & linkBits, linkBits);
  ASSERT_TRUE(Exists("K:\\links\\a\\outside\\sldworks.exe"));

  const struct {
    std::string folder;  // searched as the drive search does a drive's root
    std::string found;
  } cases[] = {{"K:\\links\\", "<not found>"}, {"K:\\deep\\", "<not found>"}, {"K:\\edge\\", edge}};
  for (const auto& c : cases) {
    ASSERT_TRUE(SetCurrentDirectoryA(c.folder.c_str())) << c.folder;
    PathBuffer path(c.folder.c_str());
    const int found = SearchFolderTree(path, kHostExecutable);
    EXPECT_EQ(found ? path.str() : "<not found>", c.found) << c.folder;
  }
}

}  // namespace
