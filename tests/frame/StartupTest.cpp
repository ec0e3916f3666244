// InitUserDLL3 in the hosts it may meet, one process each (the add-in starts
// once per process): how it finds the host, loads itself, listens to the
// host's events and makes its first menu pass. The start on the running
// simulator itself is in SinkAndMenusTest.cpp.
#include <gtest/gtest.h>

#include "DialogResponderGTest.h"
#include "frame/FrameHost.h"

namespace frametest {
namespace {

class FrameStartup : public testing::Test {
 protected:
  void SetUp() override {
    ForgetHostRegistrations();
    ASSERT_TRUE(hostsim::writePartFixture(part, L"box:0,0,0,10,20,5"));
    ASSERT_TRUE(hostsim::writeAssemblyFixture(assembly, {part}));
  }
  void TearDown() override { tap.Revoke(); }

  // Loads the library and calls InitUserDLL3, as the host does.
  long Start(const wchar_t* library = L"ZELM_Compact.dll") {
    sim.clearCallLog();
    return sim.loadAddin(AddinInApps(library));
  }
  // Opens an assembly: the host raises "opened" and "activated".
  std::vector<std::wstring> CallsOnOpeningAnAssembly() {
    sim.clearCallLog();
    EXPECT_TRUE(sim.open(assembly));
    return sim.callLines();
  }
  // The tap answers for the running host without class information or
  // without a connection point: the add-in starts and makes its menu pass,
  // but hears no event.
  void ExpectAStartWithoutSink() {
    ASSERT_TRUE(tap.RegisterRunning());
    ASSERT_TRUE(sim.open(part));
    EXPECT_EQ(Start(), 97001);
    EXPECT_EQ(Lines(sim.callLines()), Lines(MenuPass(1, true)));
    EXPECT_FALSE(tap.sink);
    EXPECT_TRUE(CallsOnOpeningAnAssembly().empty());
    EXPECT_TRUE(responder.messageTexts().empty());
  }

  testsupport::TempFolder folder;
  hostsim::Simulator sim;
  HostTap tap{sim.application()};
  const std::wstring part = folder.file(L"bride.SLDPRT"), assembly = folder.file(L"ensemble.SLDASM");
  testsupport::CheckedDialogResponder responder;
};

TEST_F(FrameStartup, WithoutARunningHostThePartDocumentClassServesAsTheHost) {
  ASSERT_TRUE(sim.registerPartDocumentClass());
  ASSERT_TRUE(sim.open(assembly));

  EXPECT_EQ(Start(), 97001);

  EXPECT_EQ(Lines(sim.callLines()), Lines(MenuPass(2, true)));
  sim.clearCallLog();
  ASSERT_TRUE(sim.open(part));  // its events reach the add-in
  EXPECT_EQ(Lines(sim.callLines()), Lines(MenuPass(1, true) + MenuPass(1)));
  EXPECT_TRUE(responder.messageTexts().empty());
}

TEST_F(FrameStartup, WithNeitherHostNorPartDocumentClassItStartsWithoutSinkOrMenus) {
  ASSERT_TRUE(sim.open(part));

  EXPECT_EQ(Start(), 97001);

  EXPECT_TRUE(sim.callLines().empty());
  EXPECT_TRUE(CallsOnOpeningAnAssembly().empty());
  EXPECT_TRUE(sim.menus().empty());
  EXPECT_TRUE(responder.messageTexts().empty());
  // Its commands find no document on the empty connection.
  sim.invokeExport(L"CompacterPart");
  EXPECT_EQ(responder.messageTexts(), std::vector<std::wstring>{L"Pas de Document Courant !..."});
}

// A copy of the library under another name, in a folder where nothing
// named ZELM_Compact.dll can be found, cannot load itself by name.
TEST_F(FrameStartup, ALibraryThatCannotLoadItselfAnswersMinusOneKeepsTheHostAndNeitherListensNorAddsMenus) {
  ASSERT_TRUE(sim.registerRunning());
  ASSERT_TRUE(sim.open(part));

  EXPECT_EQ(Start(L"ZELM_Renamed.dll"), -1);

  EXPECT_EQ(responder.messageTexts(), std::vector<std::wstring>{L"Impossible d'ouvrir ZELM_Compact.DLL"});
  EXPECT_EQ(GetModuleHandleW(L"ZELM_Compact.dll"), nullptr);
  EXPECT_TRUE(sim.callLines().empty()) << "a menu pass";
  EXPECT_EQ(sim.liveReferences(), 1) << "the host it found stays attached";
  EXPECT_TRUE(CallsOnOpeningAnAssembly().empty()) << "a sink";
}

TEST_F(FrameStartup, AHostFailureInTheFirstMenuPassIsToldAndTheAddinStillStarts) {
  ASSERT_TRUE(sim.registerRunning());
  ASSERT_TRUE(sim.open(part));
  sim.failCall(L"GetMenuFrame", 1, L"Barre de menus indisponible");

  EXPECT_EQ(Start(), 97001);

  EXPECT_EQ(responder.messageTexts(),
            std::vector<std::wstring>{L"Erreur du logiciel h\u00F4te pendant l'op\u00E9ration GetMenuFrame.\n"
                                      L"Barre de menus indisponible"});
  EXPECT_EQ(Lines(CallsOnOpeningAnAssembly()), Lines(MenuPass(2, true) + MenuPass(2)));
}

TEST_F(FrameStartup, AHostWithoutClassInformationGetsNoSink) {
  tap.classInfo = false;
  ExpectAStartWithoutSink();
}

TEST_F(FrameStartup, AHostWithoutConnectionPointGetsNoSink) {
  tap.connectionPoint = false;
  ExpectAStartWithoutSink();
}

}  // namespace
}  // namespace frametest
