// Install and uninstall on real folders: the host is D:\SW\, the distribution
// S:\Distribution (the current folder) with both builds of the library and a
// companion tree.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "core/AddinProcedures.h"
#include "installer/InstallerDrives.h"

using namespace installer;
using namespace installer_test;
using ::testing::ElementsAreArray;
using namespace std::string_literals;

namespace {

const std::string kDist = kDistribution;
const std::string kLongName(300, 'x');
// A host folder in which "Apps" still fits a path, "Apps\ZELM_Compact.dll" not.
const std::string kDeepHost = [] {
  std::string path = "D:";
  while (path.size() < 240) path += "\\folder_xx";
  return path;
}();
const std::string kCreateApps = "ERREUR:\nCreation du dossier Apps impossible.";
const std::string kCopyAddin = "ERREUR:\nTransfert du fichier ZELM_Compact.dll impossible.";
const std::string kCopy = "ERREUR:\nTransfert du fichier impossible.";
const std::string kCreate = "ERREUR:\nCreation du dossier impossible.";
const std::string kDelete = "ERREUR:\nSuppression du fichier impossible.";
const std::string kRemove = "ERREUR:\nSuppression du fichier Apps impossible.";
const char kScript[] = "CD:\\Aide\nCF:\\Aide\\Lisez-moi.txt\nCD:\\Aide\\Images\nCF:\\Aide\\Images\\Schema.txt\nCF:\\Compact.ini\n";

using Action = std::function<void()>;

struct Case {
  const char* what;
  std::optional<std::string> script;  // Script.txt; none: no file
  Action before;                      // changes to the machine before the first step
  Action between;                     // after the install, before the uninstall (uninstall cases)
  int result;
  std::vector<std::string> messages;
  // Below the host folder: "path=content" a file, "path\" a folder, "-path"
  // nothing there.
  std::vector<std::string> expected;
  int ntSelected = 0;
};

class Procedures : public InstallerDrives {
 protected:
  // The machine of every case, and its script read as the dialog reads it.
  void Prepare(const Case& c) {
    blockers.clear();  // before the reset, which could not remove what they hold
    ResetDrives();
    host.Assign("D:\\SW\\");
    MakeHost("D:\\SW");
    MakeEntry(kDist + "\\DATA_95\\ZELM_Compact.dll", "build 95");
    MakeEntry(kDist + "\\DATA_NT\\ZELM_Compact.dll", "build NT");
    MakeEntry(kDist + "\\DATA_CM\\Aide\\Lisez-moi.txt", "aide");
    MakeEntry(kDist + "\\DATA_CM\\Aide\\Images\\Schema.txt", "schema");
    MakeEntry(kDist + "\\DATA_CM\\Compact.ini", "ini");
    if (c.script) MakeEntry(kDist + "\\Script.txt", *c.script);
    if (c.before) c.before();
    entries.clear();
    LoadScript(entries);
    messages.clear();
  }

  void Check(const Case& c, int result) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(result, c.result);
    EXPECT_THAT(messages, ElementsAreArray(c.messages));
    EXPECT_EQ(CurrentDirectory(), kDist);
    for (const std::string& e : c.expected) {
      const size_t equals = e.find('=');
      if (e[0] == '-') {
        EXPECT_FALSE(Exists("D:\\SW\\" + e.substr(1))) << e;
      } else if (e.back() == '\\') {
        EXPECT_TRUE(IsFolder("D:\\SW\\" + e)) << e;
      } else {
        EXPECT_EQ(ReadFileBytes("D:\\SW\\" + e.substr(0, equals)), e.substr(equals + 1)) << e;
      }
    }
  }

  void TearDown() override {
    blockers.clear();
    InstallerDrives::TearDown();
  }

  Action Block(const std::string& path) {
    return [this, path] { blockers.push_back(BlockDeletion(path)); };
  }

  PathBuffer host;
  ScriptEntries entries;
  std::vector<std::string> messages;
  std::vector<Handle> blockers;
  MessageSink sink = [this](const std::string& text) { messages.push_back(text); };
  AddinProcedures procedures{host, entries, sink};
};

TEST_F(Procedures, Install) {
  const Case cases[] = {
      {"the NT build, replacing what is there, keeping the rest", kScript,
       [this] {
         MakeEntry("D:\\SW\\Apps\\ZELM_Compact.dll", "old");
         MakeEntry("D:\\SW\\Apps\\Aide\\Lisez-moi.txt", "old");
         MakeEntry("D:\\SW\\Apps\\Other.txt", "foreign");
       },
       nullptr, 1, {}, {"Apps\\ZELM_Compact.dll=build NT", "Apps\\Aide\\Lisez-moi.txt=aide", "Apps\\Other.txt=foreign"}, 1},
      {"Apps cannot be created", kScript, [this] { host.Assign("D:\\Missing\\SW\\"); }, nullptr, 0, {kCreateApps},
       {"-..\\Missing"}},
      {"a host folder too deep for the library's path", std::nullopt,
       [this] {
         MakeHost(kDeepHost);
         host.Assign((kDeepHost + "\\").c_str());
       },
       nullptr, 0, {kCopyAddin}, {}},
      // A missing file is told and the next entries run; any kind but exact
      // CF is a folder; a folder entry whose target exists (a file, or Apps
      // itself) is passed over.
      {"entries of every kind", "CF:\\Absent.txt\ncf:\\Lower\n\\Bare\nXY:\\Other\nCD:\\Aide\nCD:\nCF:\\Compact.ini",
       [this] { MakeEntry("D:\\SW\\Apps\\Aide", "file"); }, nullptr, 1, {kCopy},
       {"Apps\\Lower\\", "Apps\\Bare\\", "Apps\\Other\\", "Apps\\Aide=file", "Apps\\Compact.ini=ini"}},
      {"a folder that cannot be made stops the entries", "CD:\\No\\Parent\nCF:\\Compact.ini\nCD:\\After", nullptr,
       nullptr, 1, {kCreate}, {"-Apps\\Compact.ini", "-Apps\\After", "Apps\\ZELM_Compact.dll=build 95"}},
      {"paths that leave Apps or do not fit are refused",
       "CF:\\..\\Escape.txt\nCF:Sibling.txt\nCF:\\" + kLongName + "\nCF:\\Compact.ini\nCD:\\..\\Out\nCD:\\After",
       [this] { MakeEntry(kDist + "\\Escape.txt", "outside DATA_CM"); }, nullptr, 1, {kCopy, kCopy, kCopy, kCreate},
       {"-Escape.txt", "-AppsSibling.txt", "-Out", "-Apps\\After", "Apps\\Compact.ini=ini"}},
  };
  for (const Case& c : cases) {
    Prepare(c);
    Check(c, procedures.InstallAddin("ZELM_Compact.dll", "ZELM_Compact.dll", c.ntSelected));
  }
}

TEST_F(Procedures, UninstallAfterInstall) {
  const Case cases[] = {
      {"a listed folder with a foreign file stays, silently; what is listed after it goes", kScript, nullptr,
       [this] { MakeEntry("D:\\SW\\Apps\\Aide\\Notes.txt", "mine"); }, 1, {},
       {"Apps\\Aide\\Notes.txt=mine", "-Apps\\Aide\\Lisez-moi.txt", "-Apps\\Aide\\Images", "-Apps\\ZELM_Compact.dll"}},
      {"a read-only companion is copied read-only and cannot be deleted", kScript,
       [] { SetFileAttributesA((kDist + "\\DATA_CM\\Compact.ini").c_str(), FILE_ATTRIBUTE_READONLY); }, nullptr, 1,
       {kDelete}, {"Apps\\Compact.ini=ini", "-Apps\\Aide", "-Apps\\ZELM_Compact.dll"}},
      {"a listed folder that cannot be removed", kScript, nullptr, Block("D:\\SW\\Apps\\Aide\\Images"), 1, {kRemove},
       {"Apps\\Aide\\Images\\", "-Apps\\Aide\\Lisez-moi.txt", "-Apps\\Compact.ini"}},
      {"a listed folder that is missing, silently", "CD:\\Vide\nCF:\\Compact.ini", nullptr,
       [] { RemoveDirectoryA("D:\\SW\\Apps\\Vide"); }, 1, {}, {"-Apps"}},
      {"no DATA_CM in the distribution any more", kScript, nullptr,
       [] { testsupport::RemoveTree(L"S:\\Distribution\\DATA_CM", L"S:\\"); },
       1, {}, {"-Apps"}},
      {"paths that leave Apps or do not fit are never deleted",
       "CD:\\..\\Next\nCF:\\..\\Victim.txt\nCF:\\..\\sldworks.exe\nCF:\\" + kLongName + "\nCD:\\" + kLongName, nullptr,
       [this] {
         MakeEntry("D:\\SW\\Victim.txt", "keep");
         MakeEntry("D:\\SW\\Next\\");
       },
       1, {kDelete, kDelete, kDelete}, {"Victim.txt=keep", "sldworks.exe=host", "Next\\", "-Apps"}},
  };
  for (const Case& c : cases) {
    Prepare(c);
    procedures.InstallAddin("ZELM_Compact.dll", "ZELM_Compact.dll", 0);
    if (c.between) c.between();
    messages.clear();
    Check(c, procedures.UninstallAddin("ZELM_Compact.dll", "ZELM_Compact.dll"));
  }
}

}  // namespace
