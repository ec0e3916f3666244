// The installer's procedures without its window: the host search over the
// drives, the file list, and install and uninstall on real folders.
#include <direct.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/AddinProcedures.h"
#include "core/HostSearch.h"
#include "core/ScriptFile.h"
#include "support/InstallerDrives.h"

using namespace installer;
using namespace installer_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// ---- host search ------------------------------------------------------------

class HostSearch : public InstallerDrives {
 protected:
  // Runs the search; checks that the current drive and folder come back.
  std::string Search() {
    const std::string before = CurrentDirectory();
    const int driveBefore = _getdrive();
    PathBuffer folder;
    found = FindHostFolder(folder);
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_EQ(_getdrive(), driveBefore);
    return found ? folder.str() : std::string("<not found>");
  }
  int found = -1;
};

TEST_F(HostSearch, SearchesDrivesBToZInOrderForTheExactFileName) {
  const struct {
    const char* what;
    std::vector<std::string> hosts;  // folders given a "sldworks.exe"
    std::string found;
  } cases[] = {
      {"a machine without the host", {}, "<not found>"},
      {"one host: its folder with a backslash", {"D:\\Program Files\\SolidWorks"}, "D:\\Program Files\\SolidWorks\\"},
      {"the lower drive letter first", {"E:\\SW", "D:\\Deep\\er\\SW"}, "D:\\Deep\\er\\SW\\"},
      {"drive B: is searched", {"B:\\SW", "D:\\SW"}, "B:\\SW\\"},
      {"drive A: never is", {"A:\\SW", "A:"}, "<not found>"},
  };
  for (const auto& c : cases) {
    for (const char* drive : {"A:", "B:", "D:", "E:"}) EmptyFolder(drive);  // S: holds the distribution
    for (const std::string& host : c.hosts) MakeHost(host);
    EXPECT_EQ(Search(), c.found) << c.what;  // the distribution is still current
    EXPECT_EQ(found, c.found == "<not found>" ? 0 : 1) << c.what;
  }
  // The name matches case-sensitively, and never as a folder.
  WriteFileBytes("D:\\Upper\\SLDWORKS.EXE", "host");
  WriteFileBytes("D:\\Mixed\\SldWorks.exe", "host");
  MakeFolders("D:\\Folder\\sldworks.exe");
  EXPECT_EQ(Search(), "<not found>");
  MakeHost("E:\\Real");
  EXPECT_EQ(Search(), "E:\\Real\\");
}

TEST_F(HostSearch, WalksDepthFirstInEnumerationOrder) {
  // Two subfolders both lead to a host: the one the file system lists first
  // wins, and it is searched completely (down to its deepest folder) before
  // its sibling is looked at.
  MakeHost("D:\\Alpha\\One\\Two");
  MakeHost("D:\\Beta");
  const std::vector<std::string> order = ListFolder("D:");
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(Search(), order[0] == "Alpha" ? "D:\\Alpha\\One\\Two\\" : "D:\\Beta\\");
}

TEST_F(HostSearch, SeesAFileBeforeOrAfterASubfolderAsTheyAreListed) {
  MakeHost("D:\\Sub");
  MakeHost("D:");
  const std::vector<std::string> order = ListFolder("D:");
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(Search(), order[0] == "Sub" ? "D:\\Sub\\" : "D:\\");
}

TEST_F(HostSearch, TellsWhetherTheAddinIsInstalled) {
  MakeHost("D:\\SW");
  EXPECT_EQ(IsAddinInstalled("D:\\SW\\", kAddin), 0);
  MakeFolders("D:\\SW\\Apps");
  EXPECT_EQ(IsAddinInstalled("D:\\SW\\", kAddin), 0);
  WriteFileBytes("D:\\SW\\Apps\\ZELM_Compact.dll", "dll");
  EXPECT_EQ(IsAddinInstalled("D:\\SW\\", kAddin), 1);
  DeleteFileA("D:\\SW\\Apps\\ZELM_Compact.dll");
  MakeFolders("D:\\SW\\Apps\\ZELM_Compact.dll");  // any kind of entry counts
  EXPECT_EQ(IsAddinInstalled("D:\\SW\\", kAddin), 1);
}

// ---- the file list -------------------------------------------------------------

class ScriptFileTest : public InstallerDrives {
 protected:
  ScriptEntries Load(const std::string& bytes) {
    WriteFileBytes(std::string(kDistribution) + "\\Script.txt", bytes);
    ScriptEntries entries;
    LoadScript(entries);
    return entries;
  }
};

TEST_F(ScriptFileTest, ReadsTheSameEntriesWhateverTheLineEnds) {
  const auto expected = ElementsAre("CD:\\Aide", "CF:\\Aide\\Lisez-moi.txt", "CF:\\Compact.ini");
  EXPECT_THAT(Load("CD:\\Aide\r\nCF:\\Aide\\Lisez-moi.txt\r\nCF:\\Compact.ini\r\n"), expected);
  EXPECT_THAT(Load("CD:\\Aide\nCF:\\Aide\\Lisez-moi.txt\nCF:\\Compact.ini\n"), expected);
  EXPECT_THAT(Load("\r\n\nCD:\\Aide\r\n\r\n\nCF:\\Aide\\Lisez-moi.txt\n\r\r\nCF:\\Compact.ini\n\n"), expected);
  EXPECT_THAT(Load("CD:\\Aide\r\nCF:\\Aide\\Lisez-moi.txt\r\nCF:\\Compact.ini"), expected);
}

TEST_F(ScriptFileTest, DropsEveryCarriageReturnAndKeepsBlanksAndTabs) {
  EXPECT_THAT(Load("CF:\\a\rb.txt\n CF:\\c \t\n\xE9t\xE9\n"), ElementsAre("CF:\\ab.txt", " CF:\\c \t", "\xE9t\xE9"));
}

TEST_F(ScriptFileTest, AMissingFileGivesNoEntries) {
  ScriptEntries entries;
  LoadScript(entries);
  EXPECT_THAT(entries, IsEmpty());
}

TEST(ScriptEntry, SplitsAtTheFirstColonAndOnlyExactCFIsAFile) {
  const ScriptEntry file = SplitScriptEntry("CF:\\a:b.txt");
  EXPECT_EQ(file.kind, "CF");
  EXPECT_EQ(file.path, "\\a:b.txt");
  EXPECT_TRUE(file.isFile());
  EXPECT_FALSE(SplitScriptEntry("cf:\\a").isFile());
  EXPECT_FALSE(SplitScriptEntry("CF :\\a").isFile());
  const ScriptEntry bare = SplitScriptEntry("\\Aide");
  EXPECT_EQ(bare.kind, "");
  EXPECT_EQ(bare.path, "\\Aide");
  EXPECT_FALSE(bare.isFile());
}

TEST(ScriptEntry, AcceptsOnlyPathsThatStayBelowTheRoot) {
  for (const char* inside : {"\\a", "\\a\\b.txt", "/a", "\\", "\\a..b", "\\.\\a", "\\...x", "\\a\\.hidden"})
    EXPECT_TRUE(StaysInsideRoot(inside)) << inside;
  for (const char* outside : {"", "a.txt", "..\\a", "\\..", "\\..\\a", "\\a\\..\\..\\b", "/../a", "\\a/..", "\\...\\a",
                              "\\.. \\a", "\\. .\\a"})
    EXPECT_FALSE(StaysInsideRoot(outside)) << outside;
}

// ---- install and uninstall -------------------------------------------------------

constexpr char kHost[] = "D:\\SW\\";
constexpr char kApps[] = "D:\\SW\\Apps";
constexpr char kStandardScript[] =
    "CD:\\Aide\r\nCF:\\Aide\\Lisez-moi.txt\r\nCD:\\Aide\\Images\r\nCF:\\Aide\\Images\\Schema.txt\r\nCF:\\Compact.ini\r\n";

const std::string kCopyAddinFailed = "ERREUR:\nTransfert du fichier ZELM_Compact.dll impossible.";
const std::string kCopyFailed = "ERREUR:\nTransfert du fichier impossible.";
const std::string kCreateFolderFailed = "ERREUR:\nCreation du dossier impossible.";
const std::string kDeleteAddinFailed = "ERREUR:\nSuppression du fichier ZELM_Compact.dll impossible.";
const std::string kDeleteFailed = "ERREUR:\nSuppression du fichier impossible.";

class Procedures : public InstallerDrives {
 protected:
  void SetUp() override {
    InstallerDrives::SetUp();
    MakeHost("D:\\SW");
    const std::string dist = kDistribution;
    WriteFileBytes(dist + "\\DATA_95\\ZELM_Compact.dll", "build 95");
    WriteFileBytes(dist + "\\DATA_NT\\ZELM_Compact.dll", "build NT");
    WriteFileBytes(dist + "\\DATA_CM\\Aide\\Lisez-moi.txt", "aide");
    WriteFileBytes(dist + "\\DATA_CM\\Aide\\Images\\Schema.txt", "schema");
    WriteFileBytes(dist + "\\DATA_CM\\Compact.ini", "ini");
    UseScript(kStandardScript);
  }

  void UseScript(const std::string& bytes) {
    WriteFileBytes(std::string(kDistribution) + "\\Script.txt", bytes);
    entries.clear();
    LoadScript(entries);
  }

  int Install(int ntSelected = 0) {
    const int result = procedures.InstallAddin(kAddin, kAddin, ntSelected);
    EXPECT_EQ(CurrentDirectory(), kDistribution);
    return result;
  }
  int Uninstall() {
    const int result = procedures.UninstallAddin(kAddin, kAddin);
    EXPECT_EQ(CurrentDirectory(), kDistribution);
    return result;
  }
  static std::string Apps(const std::string& rest) { return std::string(kApps) + rest; }

  PathBuffer host{kHost};
  ScriptEntries entries;
  std::vector<std::string> messages;
  MessageSink sink = [this](const std::string& text) { messages.push_back(text); };
  AddinProcedures procedures{host, entries, sink};
};

TEST_F(Procedures, InstallCopiesTheChosenBuildAndTheCompanionTree) {
  EXPECT_EQ(Install(), 1);
  EXPECT_EQ(ReadFileBytes(Apps("\\ZELM_Compact.dll")), "build 95");
  EXPECT_EQ(ReadFileBytes(Apps("\\Aide\\Lisez-moi.txt")), "aide");
  EXPECT_EQ(ReadFileBytes(Apps("\\Aide\\Images\\Schema.txt")), "schema");
  EXPECT_EQ(ReadFileBytes(Apps("\\Compact.ini")), "ini");
  EXPECT_EQ(Install(1), 1);
  EXPECT_EQ(ReadFileBytes(Apps("\\ZELM_Compact.dll")), "build NT");
  EXPECT_THAT(messages, IsEmpty());
}

TEST_F(Procedures, InstallReplacesExistingTargetsInAnExistingApps) {
  WriteFileBytes(Apps("\\ZELM_Compact.dll"), "old dll");
  WriteFileBytes(Apps("\\Aide\\Lisez-moi.txt"), "old help");
  WriteFileBytes(Apps("\\Other.txt"), "foreign");
  EXPECT_EQ(Install(), 1);
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_EQ(ReadFileBytes(Apps("\\ZELM_Compact.dll")), "build 95");
  EXPECT_EQ(ReadFileBytes(Apps("\\Aide\\Lisez-moi.txt")), "aide");
  EXPECT_EQ(ReadFileBytes(Apps("\\Other.txt")), "foreign");
}

TEST_F(Procedures, InstallStopsWhenAppsCannotBeCreated) {
  host.assign("D:\\Missing\\SW\\");
  EXPECT_EQ(Install(), 0);
  EXPECT_THAT(messages, ElementsAre("ERREUR:\nCreation du dossier Apps impossible."));
  EXPECT_FALSE(Exists("D:\\Missing"));
}

TEST_F(Procedures, InstallGoesOnWithTheCompanionsWhenTheLibraryCannotBeCopied) {
  DeleteFileA((std::string(kDistribution) + "\\DATA_95\\ZELM_Compact.dll").c_str());
  EXPECT_EQ(Install(), 0);
  EXPECT_THAT(messages, ElementsAre(kCopyAddinFailed));
  EXPECT_FALSE(Exists(Apps("\\ZELM_Compact.dll")));
  EXPECT_EQ(ReadFileBytes(Apps("\\Compact.ini")), "ini");
}

TEST_F(Procedures, AMissingCompanionFileIsReportedAndTheNextEntriesStillRun) {
  UseScript("CF:\\Absent.txt\nCD:\\Aide\nCF:\\Compact.ini\n");
  EXPECT_EQ(Install(), 1);
  EXPECT_THAT(messages, ElementsAre(kCopyFailed));
  EXPECT_TRUE(IsFolder(Apps("\\Aide")));
  EXPECT_EQ(ReadFileBytes(Apps("\\Compact.ini")), "ini");
}

TEST_F(Procedures, FolderEntriesOfAnyKindButExactCFAndWithoutColonCreateFolders) {
  UseScript("cf:\\Lower\n\\Bare\nXY:\\Other\n");
  EXPECT_EQ(Install(), 1);
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_TRUE(IsFolder(Apps("\\Lower")));
  EXPECT_TRUE(IsFolder(Apps("\\Bare")));
  EXPECT_TRUE(IsFolder(Apps("\\Other")));
}

TEST_F(Procedures, AFolderEntryWhoseTargetExistsIsPassedOverSilently) {
  WriteFileBytes(Apps("\\Aide"), "a file where the folder would go");
  UseScript("CD:\\Aide\nCF:\\Compact.ini\n");
  EXPECT_EQ(Install(), 1);
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_EQ(ReadFileBytes(Apps("\\Aide")), "a file where the folder would go");
  EXPECT_EQ(ReadFileBytes(Apps("\\Compact.ini")), "ini");
}

TEST_F(Procedures, AFolderThatCannotBeCreatedStopsTheEntriesButNotTheResult) {
  UseScript("CD:\\No\\Parent\nCF:\\Compact.ini\nCD:\\After\n");
  EXPECT_EQ(Install(), 1);
  EXPECT_THAT(messages, ElementsAre(kCreateFolderFailed));
  EXPECT_FALSE(Exists(Apps("\\Compact.ini")));
  EXPECT_FALSE(Exists(Apps("\\After")));
  EXPECT_TRUE(IsFile(Apps("\\ZELM_Compact.dll")));
}

TEST_F(Procedures, UninstallRightAfterInstallLeavesNothingOfOurs) {
  ASSERT_EQ(Install(), 1);
  EXPECT_EQ(Uninstall(), 1);
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_FALSE(Exists(kApps));
  EXPECT_TRUE(IsFile("D:\\SW\\sldworks.exe"));
}

TEST_F(Procedures, UninstallLeavesAFolderWithForeignFilesAndSaysNothing) {
  UseScript("CD:\\Aide\nCF:\\Aide\\Lisez-moi.txt\nCD:\\Aide\\Images\nCF:\\Aide\\Images\\Schema.txt\n");
  ASSERT_EQ(Install(), 1);
  WriteFileBytes(Apps("\\Aide\\Notes.txt"), "the user's own");
  EXPECT_EQ(Uninstall(), 1);
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_EQ(ReadFileBytes(Apps("\\Aide\\Notes.txt")), "the user's own");
  EXPECT_FALSE(Exists(Apps("\\Aide\\Lisez-moi.txt")));
  EXPECT_FALSE(Exists(Apps("\\Aide\\Images")));
  EXPECT_FALSE(Exists(Apps("\\ZELM_Compact.dll")));
}

TEST_F(Procedures, UninstallKeepsAppsWhenItHoldsOtherFiles) {
  ASSERT_EQ(Install(), 1);
  WriteFileBytes(Apps("\\Other.dll"), "another add-in");
  EXPECT_EQ(Uninstall(), 1);
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_THAT(ListFolder(kApps), ElementsAre("Other.dll"));
}

TEST_F(Procedures, UninstallWithoutTheLibraryReportsFailureAndStillCleansUp) {
  ASSERT_EQ(Install(), 1);
  DeleteFileA(Apps("\\ZELM_Compact.dll").c_str());
  EXPECT_EQ(Uninstall(), 0);
  EXPECT_THAT(messages, ElementsAre(kDeleteAddinFailed));
  EXPECT_FALSE(Exists(kApps));
}

TEST_F(Procedures, WithoutScriptOnlyTheLibraryAndAppsAreHandled) {
  DeleteFileA((std::string(kDistribution) + "\\Script.txt").c_str());
  entries.clear();
  LoadScript(entries);
  EXPECT_EQ(Install(), 1);
  EXPECT_THAT(ListFolder(kApps), ElementsAre("ZELM_Compact.dll"));
  EXPECT_EQ(Uninstall(), 1);
  EXPECT_THAT(messages, IsEmpty());
  EXPECT_FALSE(Exists(kApps));
}

// ---- input that must not hurt -------------------------------------------------------

TEST_F(Procedures, PathsThatClimbOutOfAppsAreNeverWritten) {
  WriteFileBytes(std::string(kDistribution) + "\\Escape.txt", "outside DATA_CM");
  UseScript("CF:\\..\\Escape.txt\nCF:Sibling.txt\nCF:\\Compact.ini\nCD:\\..\\Escaped\nCD:\\After\n");
  EXPECT_EQ(Install(), 1);
  EXPECT_THAT(messages, ElementsAre(kCopyFailed, kCopyFailed, kCreateFolderFailed));
  EXPECT_FALSE(Exists("D:\\SW\\Escape.txt"));
  EXPECT_FALSE(Exists("D:\\SW\\AppsSibling.txt"));
  EXPECT_FALSE(Exists("D:\\SW\\Escaped"));
  EXPECT_FALSE(Exists(Apps("\\After")));
  EXPECT_EQ(ReadFileBytes(Apps("\\Compact.ini")), "ini");
}

TEST_F(Procedures, PathsThatClimbOutOfAppsAreNeverDeleted) {
  ASSERT_EQ(Install(), 1);
  WriteFileBytes("D:\\SW\\Victim.txt", "keep me");
  MakeFolders("D:\\SW\\EmptyNeighbour");
  UseScript("CD:\\..\\EmptyNeighbour\nCF:\\..\\Victim.txt\nCF:\\..\\sldworks.exe\n");
  EXPECT_EQ(Uninstall(), 1);
  EXPECT_THAT(messages, ElementsAre(kDeleteFailed, kDeleteFailed));
  EXPECT_EQ(ReadFileBytes("D:\\SW\\Victim.txt"), "keep me");
  EXPECT_TRUE(IsFile("D:\\SW\\sldworks.exe"));
  EXPECT_TRUE(IsFolder("D:\\SW\\EmptyNeighbour"));
}

TEST_F(Procedures, AnEntryTooLongForAPathIsRefusedAndTheOthersRun) {
  const std::string longName(300, 'x');
  UseScript("CF:\\" + longName + "\nCF:\\Compact.ini\nCD:\\" + longName + "\n");
  EXPECT_EQ(Install(), 1);
  EXPECT_THAT(messages, ElementsAre(kCopyFailed, kCreateFolderFailed));
  EXPECT_EQ(ReadFileBytes(Apps("\\Compact.ini")), "ini");
  messages.clear();
  EXPECT_EQ(Uninstall(), 1);
  EXPECT_THAT(messages, ElementsAre(kDeleteFailed));
  EXPECT_FALSE(Exists(kApps));
}

TEST_F(Procedures, AHostFolderTooLongForTheLibraryPathIsRefused) {
  // The folder and "Apps" fit in a path; "Apps\ZELM_Compact.dll" does not.
  std::string deep = "D:";
  while (deep.size() < 240) deep += "\\folder_xx";
  MakeHost(deep);
  host.assign((deep + "\\").c_str());
  EXPECT_EQ(Install(), 0);
  EXPECT_THAT(messages, ::testing::Contains(kCopyAddinFailed));
  EXPECT_TRUE(IsFolder(deep + "\\Apps"));
  EXPECT_EQ(IsAddinInstalled(host.c_str(), kAddin), 0);
}

}  // namespace
