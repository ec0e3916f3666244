// The add-in started on the simulator (through the tap registered as the
// running host), its event sink as the host sees it, and the menus each
// document kind gets.
#include <gtest/gtest.h>

#include <functional>

#include "DialogResponder.h"
#include "frame/FrameHost.h"
#include "host/Bstr.h"
#include "host/Variant.h"

namespace frametest {
namespace {

using Calls = std::vector<std::wstring>;

Variant Value(VARTYPE type, LONG number = 0, IDispatch* object = nullptr) {
  Variant v;
  VARIANT* raw = v.put();
  raw->vt = type;
  if (type == VT_BSTR) raw->bstrVal = Bstr::Copy(L"bride.SLDPRT").release();
  if (type == VT_DISPATCH) raw->pdispVal = object;  // adopted
  if (type == VT_I4) raw->lVal = number;
  return v;
}

// Raises an event on the add-in's sink as a host does (the arguments go in
// reverse order).
HRESULT Raise(DISPID id, const std::vector<const Variant*>& arguments, VARIANT* result, EXCEPINFO* exception = nullptr) {
  std::vector<VARIANT> reversed;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back((*it)->get());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return Started().tap.sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, exception,
                                    nullptr);
}

// The menus the host holds, as "kind: item -> callback".
Calls Menus() {
  Calls menus;
  for (const auto& entry : Started().sim.menus())
    menus.push_back(std::to_wstring(entry.documentKind) + L": " + (entry.topMenu ? entry.menu : entry.item + L" -> " + entry.callback));
  return menus;
}
Calls MenusOf(int kind) {
  const std::wstring k = std::to_wstring(kind) + L": ", suffix = kind == 1 ? L"Part" : L"Asm";
  return {k + L"Compression@&Outils", k + L"Compacter -> ZELM_Compact@Compacter" + suffix,
          k + L"D\u00E9compacter -> ZELM_Compact@DeCompacter" + suffix};
}

TEST(FrameStart, OnTheRunningHostItAdvisesItsSinkMakesAMenuPassAndOutlivesTheHostsHold) {
  StartedAddin& addin = Started();
  EXPECT_EQ(addin.started, 97001);
  EXPECT_EQ(Lines(addin.startCalls), Lines(MenuPass(1, true)));
  EXPECT_TRUE(addin.startMessages.empty());
  ASSERT_TRUE(addin.tap.sink) << "no sink advised";
  // The sink answers the host's event interface itself.
  IID events{};
  ASSERT_EQ(addin.tap.GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  ComRef<IUnknown> asEvents;
  ASSERT_EQ(addin.tap.sink->QueryInterface(events, asEvents.put_void()), S_OK);
  EXPECT_EQ(asEvents.get(), static_cast<IUnknown*>(addin.tap.sink.get()));

  // The host lets the library go: it stays, and its sink still answers.
  ASSERT_TRUE(FreeLibrary(GetModuleHandleW(L"ZELM_Compact.dll")));
  EXPECT_NE(GetModuleHandleW(L"ZELM_Compact.dll"), nullptr);
  Variant answer;
  EXPECT_EQ(Raise(3, {}, answer.put()), S_OK);
  EXPECT_EQ(answer.type(), VT_BOOL);
}

// Every event is answered FALSE; events 1 and 2 make a menu pass (the part
// entries are in already, so the pass only asks), 3 and unknown ones make
// none. A failing pass is the host's to hear, not the user's.
TEST(FrameSink, AnswersEveryEventFalseAndOnlyOpeningAndActivationMakeAMenuPass) {
  StartedAddin& addin = Started();
  ASSERT_TRUE(addin.sim.open(addin.part));
  const Variant name = Value(VT_BSTR), document = Value(VT_DISPATCH, 0, addin.sim.activeDocumentObject()),
                kind = Value(VT_I4, 1);
  const std::wstring failed = L"Application.GetMenuFrame() -> error 0x80020009 \"Simulated failure of GetMenuFrame\"";
  struct Case {
    const char* what;
    DISPID id;
    std::vector<const Variant*> arguments;
    bool resultSlot;
    const wchar_t* failing;  // a host operation that fails in the pass
    HRESULT status;
    Calls calls;
  };
  const Case cases[] = {
      {"opened", 1, {&name}, true, nullptr, S_OK, MenuPass(1)},
      {"activated", 2, {&document, &kind}, true, nullptr, S_OK, MenuPass(1)},
      {"closed", 3, {}, true, nullptr, S_OK, {}},
      {"unknown", 99, {&kind}, true, nullptr, S_OK, {}},
      {"opened, no result slot", 1, {&name}, false, nullptr, S_OK, MenuPass(1)},
      {"unknown, no result slot", 99, {}, false, nullptr, S_OK, {}},
      {"activated with one argument", 2, {&kind}, true, nullptr, DISP_E_BADPARAMCOUNT, {}},
      {"activated, the host failing", 2, {&document, &kind}, true, L"GetMenuFrame", DISP_E_EXCEPTION, {failed}},
  };
  testsupport::DialogResponder user;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.failing) addin.sim.failCall(c.failing);
    addin.sim.clearCallLog();
    Variant result;
    VARIANT* slot = result.put();  // a slot that holds something already
    slot->vt = VT_I4;
    slot->lVal = 4242;
    EXCEPINFO exception{};

    EXPECT_EQ(Raise(c.id, c.arguments, c.resultSlot ? slot : nullptr, &exception), c.status);

    EXPECT_EQ(Lines(addin.sim.callLines()), Lines(c.calls));
    if (c.status == S_OK && c.resultSlot) {
      EXPECT_EQ(result.type(), VT_BOOL);
      EXPECT_EQ(result.get().boolVal, VARIANT_FALSE);
    } else {
      EXPECT_EQ(result.type(), VT_I4) << "written without a slot or on a refused event";
    }
    const std::wstring description = Bstr(exception.bstrDescription).str();
    EXPECT_EQ(description, c.failing ? L"Erreur du logiciel h\u00F4te pendant l'op\u00E9ration GetMenuFrame." : L"");
    SysFreeString(exception.bstrSource);
  }
  EXPECT_TRUE(user.messages().empty()) << "a message box interrupted the host's event";
}

// Each kind's entries go in once per process, on the first pass that finds a
// document of that kind active; a failed installation is tried again on the
// next pass; a drawing gets nothing and changes nothing. Every pass asks for
// the menu frame first.
TEST(FrameMenus, EachKindIsInstalledOnceAndADrawingGetsNone) {
  StartedAddin& addin = Started();
  hostsim::Simulator& sim = addin.sim;
  ASSERT_EQ(Menus(), MenusOf(1)) << "the part entries, from the start, and no others yet";
  const std::wstring other = addin.folder.file(L"arbre.SLDPRT"), assembly = addin.folder.file(L"ensemble.SLDASM");
  ASSERT_TRUE(hostsim::writePartFixture(other, L"box:0,0,0,1,1,1"));
  ASSERT_TRUE(hostsim::writeAssemblyFixture(assembly, {other}));
  const Calls failedInstall = {
      L"Application.GetMenuFrame() -> object", L"Application.ActiveDocument() -> object",
      L"Document.DocumentKind() -> 2",
      L"MenuFrame.AddTopMenu(\"Compression@&Outils\", 0) -> error 0x80020009 \"Simulated failure of AddTopMenu\""};
  const Variant none = Value(VT_DISPATCH), drawing = Value(VT_I4, 3);
  struct Step {
    const char* what;
    std::function<void()> act;
    Calls calls;
  };
  const Step steps[] = {
      {"another part opened", [&] { sim.open(other); }, MenuPass(1) + MenuPass(1)},
      {"a drawing active",
       [&] {
         addin.tap.active = HostTap::ActiveAnswer::Drawing;  // answered by the tap: not logged
         Raise(2, {&none, &drawing}, nullptr);
         addin.tap.active = HostTap::ActiveAnswer::Simulator;
       },
       {L"Application.GetMenuFrame() -> object"}},
      {"an assembly opened, the first installation failing",
       [&] {
         sim.failCall(L"AddTopMenu");
         sim.open(assembly);
       },
       failedInstall + MenuPass(2, true)},
      {"a part activated", [&] { sim.activate(L"bride.SLDPRT"); }, MenuPass(1)},
      {"the assembly activated", [&] { sim.activate(L"ensemble.SLDASM"); }, MenuPass(2)},
      {"no document",
       [&] {
         for (const std::wstring& path : sim.openDocumentPaths()) sim.close(path.substr(path.rfind(L'\\') + 1));
         sim.clearCallLog();
         Raise(2, {&none, &none}, nullptr);
       },
       MenuPass(0)},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    sim.clearCallLog();
    step.act();
    EXPECT_EQ(Lines(sim.callLines()), Lines(step.calls));
  }
  EXPECT_EQ(Menus(), MenusOf(1) + MenusOf(2));
}

}  // namespace
}  // namespace frametest
