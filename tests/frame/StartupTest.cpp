// InitUserDLL3 in the hosts it may meet, one process each (the add-in starts
// once per process): how it finds the host, loads itself, listens to the
// host's events and makes its first menu pass. The start on the running
// simulator itself is in SinkAndMenusTest.cpp.
#include <gtest/gtest.h>

#include "support/DialogResponderGTest.h"
#include "frame/FrameHost.h"

namespace frametest {
namespace {

// {0C7B5F0E-93A2-4D51-8E3B-6A2F1D7C4B11}
const CLSID kPartDocumentClsid = {0x0c7b5f0e, 0x93a2, 0x4d51, {0x8e, 0x3b, 0x6a, 0x2f, 0x1d, 0x7c, 0x4b, 0x11}};

// The part document class registered for this process, whose creation fails.
class FailingPartDocumentClass final : public IClassFactory {
 public:
  bool Register() {
    return RegisterProgId(L"SldPart.Document", kPartDocumentClsid) &&
           SUCCEEDED(CoRegisterClassObject(kPartDocumentClsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
  }
  ~FailingPartDocumentClass() { CoRevokeClassObject(cookie_); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // the test's own object
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override {
    *object = nullptr;
    return E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  DWORD cookie_ = 0;
};

class FrameStartup : public testing::Test {
 protected:
  void SetUp() override {
    ForgetHostRegistrations();
    ASSERT_TRUE(hostsim::writePartFixture(part, L"box:0,0,0,10,20,5") && hostsim::writeAssemblyFixture(assembly, {part}));
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
    EXPECT_EQ(sim.callLines(), MenuPass(1, true));
    EXPECT_FALSE(tap.sink);
    EXPECT_TRUE(CallsOnOpeningAnAssembly().empty());
    EXPECT_TRUE(responder.messageTexts().empty());
  }
  // No host was found: the add-in starts all the same, without sink or menus.
  void ExpectAStartWithoutHost(const std::vector<std::wstring>& messages) {
    ASSERT_TRUE(sim.open(part));
    EXPECT_EQ(Start(), 97001);
    EXPECT_EQ(responder.messageTexts(), messages);
    EXPECT_TRUE(sim.callLines().empty());
    EXPECT_TRUE(CallsOnOpeningAnAssembly().empty());
    EXPECT_TRUE(sim.menus().empty());
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

  EXPECT_EQ(sim.callLines(), MenuPass(2, true));
  sim.clearCallLog();
  ASSERT_TRUE(sim.open(part));  // its events reach the add-in
  EXPECT_EQ(sim.callLines(), MenuPass(1, true) + MenuPass(1));
  EXPECT_TRUE(responder.messageTexts().empty());
}

// The class's name is there, the class is not (the host was removed).
TEST_F(FrameStartup, WithNeitherHostNorPartDocumentClassItStartsWithoutSinkOrMenus) {
  ASSERT_TRUE(RegisterProgId(L"SldPart.Document", kPartDocumentClsid));
  ExpectAStartWithoutHost({});
  // Its commands find no document on the empty connection.
  sim.invokeExport(L"CompacterPart");
  EXPECT_EQ(responder.messageTexts(), std::vector<std::wstring>{L"Pas de Document Courant !..."});
}

TEST_F(FrameStartup, APartDocumentClassThatFailsToCreateIsTold) {
  FailingPartDocumentClass failing;
  ASSERT_TRUE(failing.Register());
  ExpectAStartWithoutHost({L"IDP_FAILED_TO_CREATE"});
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
  EXPECT_EQ(CallsOnOpeningAnAssembly(), MenuPass(2, true) + MenuPass(2));
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
