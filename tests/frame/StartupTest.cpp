// InitUserDLL3 in the hosts it may meet: how it finds the host, loads itself,
// listens to the host's events and makes its first menu pass. The add-in
// starts once per library in a process, so each start is a library of its
// own: the first, a copy under another name made while nothing named
// ZELM_Compact.dll is in the process, cannot load itself by name; the second
// is the library itself; the others are copies again, which find it loaded.
// The start on the running simulator is in SinkAndMenusTest.cpp.
#include <gtest/gtest.h>

#include <functional>

#include "frame/FrameHost.h"
#include "support/DialogResponderGTest.h"

namespace frametest {
namespace {

// A class that no server provides.
// {0C7B5F0E-93A2-4D51-8E3B-6A2F1D7C4B11}
const CLSID kAbsentClsid = {0x0c7b5f0e, 0x93a2, 0x4d51, {0x8e, 0x3b, 0x6a, 0x2f, 0x1d, 0x7c, 0x4b, 0x11}};

// A host for one start, kept as long as the process lives, as the add-in
// keeps its hold on it.
struct Host {
  hostsim::Simulator sim;
  HostTap tap{sim.application()};
};

TEST(FrameStartup, EachHostTheAddinMayMeet) {
  testsupport::TempFolder folder;
  const std::wstring part = folder.file(L"bride.SLDPRT"), assembly = folder.file(L"ensemble.SLDASM");
  ASSERT_TRUE(hostsim::writePartFixture(part, L"box:0,0,0,10,20,5") && hostsim::writeAssemblyFixture(assembly, {part}));
  ASSERT_EQ(GetModuleHandleW(L"ZELM_Compact.dll"), nullptr);
  const std::wstring hostError = L"Erreur du logiciel h\u00F4te pendant l'op\u00E9ration GetMenuFrame.\nBarre de menus indisponible";
  const struct {
    const char* what;
    std::function<void(Host&)> prepare;
    long started;                        // what InitUserDLL3 answers
    std::vector<std::wstring> messages;  // shown at start
    std::vector<std::wstring> calls;     // at start, a part being active
    std::vector<std::wstring> heard;     // the menu passes of the events when an assembly opens
  } starts[] = {
      {"a library that cannot load itself", [](Host& h) { h.sim.registerRunning(); }, -1,
       {L"Impossible d'ouvrir ZELM_Compact.DLL"}, {}, {}},
      {"no running host: the part document class serves", [](Host& h) { h.sim.registerPartDocumentClass(); }, 97001,
       {}, MenuPass(1, true), MenuPass(2, true) + MenuPass(2)},
      // The class's name is there, the class is not (the host was removed).
      {"neither host nor part document class", [](Host&) { RegisterProgId(L"SldPart.Document", kAbsentClsid); },
       97001, {}, {}, {}},
      {"a part document class that fails to create", [](Host& h) { h.tap.RegisterFailingPartDocumentClass(); }, 97001,
       {L"IDP_FAILED_TO_CREATE"}, {}, {}},
      {"a host failure in the first menu pass",
       [](Host& h) {
         h.sim.registerRunning();
         h.sim.failCall(L"GetMenuFrame", 1, L"Barre de menus indisponible");
       },
       97001, {hostError}, {L"Application.GetMenuFrame() -> error 0x80020009 \"Barre de menus indisponible\""},
       MenuPass(2, true) + MenuPass(2)},
      {"a host without class information: no sink",
       [](Host& h) {
         h.tap.classInfo = false;
         h.tap.RegisterRunning();
       },
       97001, {}, MenuPass(1, true), {}},
      {"a host without connection point: no sink",
       [](Host& h) {
         h.tap.connectionPoint = false;
         h.tap.RegisterRunning();
       },
       97001, {}, MenuPass(1, true), {}},
  };
  int n = 0;
  for (const auto& s : starts) {
    SCOPED_TRACE(s.what);
    const std::wstring name = n == 1 ? L"ZELM_Compact.dll" : L"ZELM_Start" + std::to_wstring(n) + L".dll";
    const std::wstring library = AddinInApps(name.c_str());
    ASSERT_TRUE(n++ == 1 || CopyFileW(AddinInApps().c_str(), library.c_str(), FALSE));
    ForgetHostRegistrations();
    Host& host = *new Host;
    s.prepare(host);
    ASSERT_TRUE(host.sim.open(part));
    testsupport::CheckedDialogResponder responder;
    host.sim.clearCallLog();

    EXPECT_EQ(host.sim.loadAddin(library), s.started);

    EXPECT_EQ(host.sim.callLines(), s.calls);
    EXPECT_EQ(responder.messageTexts(), s.messages);
    host.sim.clearCallLog();
    ASSERT_TRUE(host.sim.open(assembly));
    EXPECT_EQ(host.sim.callLines(), s.heard);
    CloseAll(host.sim);  // the next host opens the files again
    host.tap.Revoke();
    host.sim.revokeRegistrations();
  }
}

}  // namespace
}  // namespace frametest
