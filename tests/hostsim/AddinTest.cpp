// Add-ins in the simulator: loading and InitUserDLL3, menus per document
// kind, picking an entry calls the export its callback names.
#include <gtest/gtest.h>

#include "hostsim/HostTestSupport.h"
#include "core/MenuLayout.h"
#include "core/Simulator.h"

using namespace hosttest;

namespace {

std::wstring besideThisTest(const std::wstring& name) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.rfind(L'\\') + 1) + name;
}

long countOf(const std::wstring& dll) {
  HMODULE module = GetModuleHandleW(dll.c_str());
  auto value = reinterpret_cast<long (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "CountValue")));
  return value ? value() : -1;
}

class HostsimAddin : public ::testing::Test {
 protected:
  void SetUp() override {
    dll_ = besideThisTest(L"hostsim_test_addin.dll");
    part_ = folder_.file(L"p.SLDPRT");
    assembly_ = folder_.file(L"a.SLDASM");
    ASSERT_TRUE(hostsim::writePartFixture(part_, L"plate"));
    ASSERT_TRUE(hostsim::writeAssemblyFixture(assembly_, {part_}));
    ASSERT_TRUE(sim_.registerRunning());
  }
  Obj frame() { return objectOf(method(sim_.application(), dispid::GetMenuFrame)); }

  hostsim::Simulator sim_;
  TempFolder folder_;
  std::wstring dll_, part_, assembly_;
};

TEST_F(HostsimAddin, LoadingCallsInitUserDll3AndItsMenusCallItsExports) {
  ASSERT_TRUE(sim_.open(part_));
  ASSERT_EQ(sim_.loadAddin(dll_), 4242);
  auto menus = sim_.menus();
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_TRUE(menus[0].topMenu);
  EXPECT_EQ(menus[0].menu, L"Essai@&Outils");
  EXPECT_EQ(menus[1].item, L"Compter");
  EXPECT_EQ(menus[1].callback, L"hostsim_test_addin@Count");
  EXPECT_EQ(menus[1].documentKind, 1);
  EXPECT_EQ(menus[1].position, -1);
  const long before = countOf(dll_);
  EXPECT_TRUE(sim_.pickMenu(L"Compter"));
  EXPECT_EQ(countOf(dll_), before + 1);
  EXPECT_TRUE(sim_.invokeExport(L"Count"));
  EXPECT_EQ(countOf(dll_), before + 2);
  EXPECT_FALSE(sim_.invokeExport(L"NoSuchExport"));
  ASSERT_TRUE(sim_.open(assembly_));
  EXPECT_FALSE(sim_.pickMenu(L"Compter")) << "the entry belongs to parts";
  EXPECT_EQ(countOf(dll_), before + 2);
}

TEST_F(HostsimAddin, LoadFailuresGiveDocumentedValues) {
  EXPECT_EQ(sim_.loadAddin(folder_.file(L"absent.dll")), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(sim_.loadAddin(L"kernel32.dll"), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
}

TEST_F(HostsimAddin, AppsFolderLoadsOnlyLibrariesThatExportTheEntry) {
  const std::wstring apps = folder_.subfolder(L"Apps");
  ASSERT_TRUE(CopyFileW(dll_.c_str(), (apps + L"copie_addin.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(besideThisTest(L"hostsim_plain_library.dll").c_str(), (apps + L"autre.dll").c_str(), FALSE));
  CreateDirectoryW((apps + L"dossier.dll").c_str(), nullptr);
  auto loaded = sim_.loadAddinsFromFolder(apps);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].first, apps + L"copie_addin.dll");
  EXPECT_EQ(loaded[0].second, 4242);
}

TEST_F(HostsimAddin, MenuEntriesBelongToTheActiveKindAndNeedTheirMenu) {
  Obj f = frame();
  auto addTopMenu = [&] { return booleanOf(method(f.get(), dispid::AddTopMenu, args(text(L"M@&Outils"), i4(0)))); };
  auto addEntry = [&] {
    return booleanOf(method(f.get(), dispid::AddMenuEntry, args(text(L"M@&Outils"), text(L"A"), i4(-1), text(L"x@A"))));
  };
  EXPECT_FALSE(addTopMenu()) << "no active document, no kind to add to";
  ASSERT_TRUE(sim_.open(assembly_));
  EXPECT_FALSE(addEntry());
  EXPECT_TRUE(addTopMenu());
  EXPECT_TRUE(addEntry());
  EXPECT_FALSE(addEntry()) << "one entry per item";
  auto menus = sim_.menus();
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[1].documentKind, 2);
  ASSERT_TRUE(sim_.open(part_));
  EXPECT_FALSE(addEntry()) << "the part kind has no such menu yet";
}

TEST(HostsimMenuLayout, MenuPathsNestFromTheBarAndFollowTheKind) {
  using Entry = hostsim::Simulator::MenuEntry;
  std::vector<Entry> entries = {
      {1, L"Compression@&Outils", L"", L"", 0, true},
      {1, L"Compression@&Outils", L"Compacter", L"Z@CompacterPart", -1, false},
      {1, L"Compression@&Outils", L"Décompacter", L"Z@DeCompacterPart", -1, false},
      {2, L"Compression@&Outils", L"", L"", 0, true},
      {2, L"Compression@&Outils", L"Compacter", L"Z@CompacterAsm", -1, false},
      {1, L"&Aide", L"", L"", 0, true},
  };
  auto part = hostsim::menuLayout(entries, 1);
  ASSERT_EQ(part.size(), 2u);
  EXPECT_EQ(part[0].text, L"&Outils");
  ASSERT_EQ(part[0].children.size(), 1u);
  const hostsim::MenuNode& compression = part[0].children[0];
  EXPECT_EQ(compression.text, L"Compression");
  EXPECT_FALSE(compression.isItem);
  ASSERT_EQ(compression.children.size(), 2u);
  EXPECT_EQ(compression.children[0].text, L"Compacter");
  EXPECT_TRUE(compression.children[0].isItem);
  EXPECT_EQ(compression.children[1].text, L"Décompacter");
  EXPECT_EQ(part[1].text, L"&Aide");
  EXPECT_TRUE(part[1].children.empty());
  auto assembly = hostsim::menuLayout(entries, 2);
  ASSERT_EQ(assembly.size(), 1u);
  EXPECT_EQ(assembly[0].children[0].children.size(), 1u);
  EXPECT_TRUE(hostsim::menuLayout(entries, 3).empty()) << "a drawing has no add-in menus";
}

}  // namespace
