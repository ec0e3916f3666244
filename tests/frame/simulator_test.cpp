// The add-in's frame in the host simulator, in the test's own process: how
// it finds the host, the menus the host's own events make it install, and
// the references it leaves behind.
#include <gtest/gtest.h>

#include "AddinHarness.h"
#include "DialogResponderGTest.h"
#include "FrameHarness.h"
#include "core/Simulator.h"

namespace {

using Lines = std::vector<std::wstring>;

Lines InstallLines(const std::wstring& kindSuffix) {
  return {
      L"MenuFrame.AddTopMenu(\"Compression@&Outils\", 0) -> TRUE",
      L"MenuFrame.AddMenuEntry(\"Compression@&Outils\", \"Compacter\", -1, \"ZELM_Compact@Compacter" + kindSuffix +
          L"\") -> TRUE",
      L"MenuFrame.AddMenuEntry(\"Compression@&Outils\", \"Décompacter\", -1, \"ZELM_Compact@DeCompacter" +
          kindSuffix + L"\") -> TRUE",
  };
}

Lines Joined(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The menus as "kind: item -> callback" (top menus as "kind: top menu").
Lines MenuSummary(const hostsim::Simulator& sim) {
  Lines summary;
  for (const auto& entry : sim.menus())
    summary.push_back(std::to_wstring(entry.documentKind) + L": " +
                      (entry.topMenu ? L"top " + entry.menu : entry.item + L" -> " + entry.callback));
  return summary;
}

const Lines kPartMenus = {L"1: top Compression@&Outils", L"1: Compacter -> ZELM_Compact@CompacterPart",
                          L"1: Décompacter -> ZELM_Compact@DeCompacterPart"};
const Lines kAssemblyMenus = {L"2: top Compression@&Outils", L"2: Compacter -> ZELM_Compact@CompacterAsm",
                              L"2: Décompacter -> ZELM_Compact@DeCompacterAsm"};

class FrameOnSimulator : public ::testing::Test {
 protected:
  void SetUp() override {
    frametest::ClearHostProgIds();
    folder = frametest::FreshTempFolder(L"frame-simulator");
    part = folder + L"\\bride.SLDPRT";
    otherPart = folder + L"\\arbre.SLDPRT";
    assembly = folder + L"\\ensemble.SLDASM";
    ASSERT_TRUE(hostsim::writePartFixture(part, L"flange"));
    ASSERT_TRUE(hostsim::writePartFixture(otherPart, L"shaft"));
    ASSERT_TRUE(hostsim::writeAssemblyFixture(assembly, {part, otherPart}));
  }

  long LoadAddin() { return sim.loadAddin(frametest::AddinPathInApps()); }

  hostsim::Simulator sim;
  testsupport::CheckedDialogResponder responder;
  std::wstring folder, part, otherPart, assembly;
};

}  // namespace

TEST_F(FrameOnSimulator, APartActiveAtStartGetsThePartEntriesOnce) {
  ASSERT_TRUE(sim.registerRunning());
  ASSERT_TRUE(sim.open(part));
  sim.clearCallLog();

  EXPECT_EQ(97001, LoadAddin());
  EXPECT_EQ(addintest::CallText(Joined({addintest::MenuPassCalls(1), InstallLines(L"Part")})),
            addintest::CallText(sim.callLines()));
  EXPECT_EQ(kPartMenus, MenuSummary(sim));

  // Opening another part raises "opened" and "activated": two passes that
  // only ask, from within the host's own event calls.
  sim.clearCallLog();
  ASSERT_TRUE(sim.open(otherPart));
  EXPECT_EQ(addintest::CallText(Joined({addintest::MenuPassCalls(1), addintest::MenuPassCalls(1)})),
            addintest::CallText(sim.callLines()));
  EXPECT_EQ(kPartMenus, MenuSummary(sim));
}

TEST_F(FrameOnSimulator, WithNoDocumentAtStartTheHostsEventsInstallEachKindOnce) {
  ASSERT_TRUE(sim.registerRunning());
  EXPECT_EQ(97001, LoadAddin());
  EXPECT_EQ(addintest::CallText({L"Application.GetMenuFrame() -> object", L"Application.ActiveDocument() -> null"}),
            addintest::CallText(sim.callLines()));
  EXPECT_TRUE(sim.menus().empty());

  ASSERT_TRUE(sim.open(part));
  EXPECT_EQ(kPartMenus, MenuSummary(sim));
  ASSERT_TRUE(sim.open(assembly));
  EXPECT_EQ(Joined({kPartMenus, kAssemblyMenus}), MenuSummary(sim));
  ASSERT_TRUE(sim.activate(L"bride.SLDPRT"));
  ASSERT_TRUE(sim.close(L"ensemble.SLDASM"));
  EXPECT_EQ(Joined({kPartMenus, kAssemblyMenus}), MenuSummary(sim));
}

TEST_F(FrameOnSimulator, WithoutRunningHostThePartDocumentClassServesAsTheHost) {
  ASSERT_TRUE(sim.registerPartDocumentClass());
  ASSERT_TRUE(sim.open(assembly));

  EXPECT_EQ(97001, LoadAddin());
  EXPECT_EQ(kAssemblyMenus, MenuSummary(sim));
  // Its events reach the add-in too.
  ASSERT_TRUE(sim.open(part));
  EXPECT_EQ(Joined({kAssemblyMenus, kPartMenus}), MenuSummary(sim));
  EXPECT_TRUE(responder.messages().empty());
}

TEST_F(FrameOnSimulator, WithNeitherRegisteredTheAddinStartsWithoutSinkOrMenus) {
  ASSERT_TRUE(sim.open(part));
  EXPECT_EQ(97001, LoadAddin());
  ASSERT_TRUE(sim.open(assembly));
  EXPECT_TRUE(sim.callLines().empty());
  EXPECT_TRUE(sim.menus().empty());
  EXPECT_TRUE(responder.messages().empty());
}

TEST_F(FrameOnSimulator, TheAssemblyEntriesNameExportsTheLibraryDoesNotHaveYet) {
  ASSERT_TRUE(sim.registerRunning());
  ASSERT_TRUE(sim.open(assembly));
  ASSERT_EQ(97001, LoadAddin());
  sim.clearCallLog();
  EXPECT_FALSE(sim.pickMenu(L"Compacter"));
  EXPECT_TRUE(sim.callLines().empty());
  EXPECT_TRUE(responder.messages().empty());
}

TEST_F(FrameOnSimulator, TenThousandEventsLeaveTheLiveReferenceCountWhereItWas) {
  ASSERT_TRUE(sim.registerRunning());
  ASSERT_TRUE(sim.open(part));
  ASSERT_TRUE(sim.open(otherPart));
  ASSERT_EQ(97001, LoadAddin());
  const long before = sim.liveReferences();

  // Each activation raises one event that makes a menu pass.
  for (int i = 0; i < 5000; ++i) {
    ASSERT_TRUE(sim.activate(L"bride.SLDPRT"));
    ASSERT_TRUE(sim.activate(L"arbre.SLDPRT"));
    if (i % 500 == 0) sim.clearCallLog();
  }

  EXPECT_EQ(before, sim.liveReferences());
  EXPECT_EQ(kPartMenus, MenuSummary(sim));
}
