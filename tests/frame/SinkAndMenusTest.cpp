// The add-in started on the simulator (through the tap registered as the
// running host), its event sink as the host sees it, and the menus each
// document kind gets.
#include <gtest/gtest.h>

#include <functional>

#include "responder/DialogResponder.h"
#include "frame/FrameHost.h"
#include "host/Bstr.h"
#include "host/Variant.h"

namespace frametest {
namespace {

using zelm::Bstr;
using zelm::Variant;
using Calls = std::vector<std::wstring>;

Variant Value(VARTYPE type, LONG number = 0, IDispatch* adopted = nullptr) {
  Variant v;
  VARIANT* raw = v.Put();
  raw->vt = type;
  raw->lVal = number;
  if (type == VT_BSTR) raw->bstrVal = Bstr::Copy(L"bride.SLDPRT").Release();
  if (type == VT_DISPATCH) raw->pdispVal = adopted;
  return v;
}

// Raises an event on the add-in's sink as a host does (the arguments go in
// reverse order).
HRESULT Raise(DISPID id, const std::vector<const Variant*>& arguments, VARIANT* result, EXCEPINFO* exception = nullptr) {
  std::vector<VARIANT> reversed;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back((*it)->Get());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return Started().tap.sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, exception, nullptr);
}

TEST(FrameStart, OnTheRunningHostItAdvisesItsSinkAndOutlivesTheHostsHold) {
  StartedAddin& addin = Started();
  ASSERT_EQ(addin.started, 97001);
  ASSERT_TRUE(addin.tap.sink) << "no sink advised";
  // The sink answers for the host's event interface (a host may ask for it
  // when advising).
  IID events{};
  ComRef<IUnknown> asEvents;
  ASSERT_EQ(addin.tap.GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  ASSERT_EQ(addin.tap.sink->QueryInterface(events, asEvents.PutVoid()), S_OK);
  EXPECT_EQ(asEvents.Get(), static_cast<IUnknown*>(addin.tap.sink.Get()));

  // The host loads the library once more and calls InitUserDLL3 again: the
  // same answer, and no second sink.
  IDispatch* const sink = addin.tap.sink.Get();
  addin.sim.clearCallLog();
  EXPECT_EQ(addin.sim.loadAddin(AddinInApps()), 97001);
  EXPECT_EQ(addin.tap.sink.Get(), sink);
  EXPECT_TRUE(addin.sim.callLines().empty());

  // The host lets the library go, as often as it loaded it: it stays, and
  // its sink still answers.
  const HMODULE library = GetModuleHandleW(L"ZELM_Compact.dll");
  ASSERT_TRUE(FreeLibrary(library) && FreeLibrary(library));
  ASSERT_EQ(GetModuleHandleW(L"ZELM_Compact.dll"), library);
  Variant answer;
  EXPECT_EQ(Raise(3, {}, answer.Put()), S_OK);
  EXPECT_EQ(answer.Type(), VT_BOOL);
}

// Every event is answered FALSE; events 1 and 2 make a menu pass (the part
// entries are in already, so the pass only asks), 3 and unknown ones make
// none. A failing pass is the host's to hear, not the user's.
TEST(FrameSink, AnswersEveryEventFalseAndOnlyOpeningAndActivationMakeAMenuPass) {
  StartedAddin& addin = Started();
  ASSERT_TRUE(addin.sim.open(addin.part));
  const Variant name = Value(VT_BSTR), kind = Value(VT_I4, 1);
  const Variant document = Value(VT_DISPATCH, 0, addin.sim.activeDocumentObject().Detach());
  const struct {
    const char* what;
    DISPID id;
    std::vector<const Variant*> arguments;
    bool resultSlot;
    const wchar_t* failing;  // a host operation that fails in the pass
    HRESULT status;
    Calls calls;
  } cases[] = {
      {"opened", 1, {&name}, true, nullptr, S_OK, MenuPass(1)},
      {"activated", 2, {&document, &kind}, true, nullptr, S_OK, MenuPass(1)},
      {"closed", 3, {}, true, nullptr, S_OK, {}},
      {"unknown", 99, {&kind}, true, nullptr, S_OK, {}},
      {"opened, no result slot", 1, {&name}, false, nullptr, S_OK, MenuPass(1)},
      {"activated with one argument", 2, {&kind}, true, nullptr, DISP_E_BADPARAMCOUNT, {}},
      {"activated, the host failing", 2, {&document, &kind}, true, L"GetMenuFrame", DISP_E_EXCEPTION,
       {L"Application.GetMenuFrame() -> error 0x80020009 \"Simulated failure of GetMenuFrame\""}},
  };
  hostsim::DialogResponder user;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.failing) addin.sim.failCall(c.failing);
    addin.sim.clearCallLog();
    VARIANT result{};  // a slot that holds something already
    result.vt = VT_I4;
    result.lVal = 4242;
    EXCEPINFO exception{};

    EXPECT_EQ(Raise(c.id, c.arguments, c.resultSlot ? &result : nullptr, &exception), c.status);

    EXPECT_EQ(addin.sim.callLines(), c.calls);
    const bool answered = c.status == S_OK && c.resultSlot;
    EXPECT_EQ(result.vt, answered ? VT_BOOL : VT_I4);
    EXPECT_EQ(answered ? result.boolVal : result.lVal, answered ? VARIANT_FALSE : 4242);
    EXPECT_EQ(Bstr(exception.bstrDescription).Text(),
              c.failing ? L"Erreur du logiciel h\u00F4te pendant l'op\u00E9ration GetMenuFrame." : L"");
    SysFreeString(exception.bstrSource);
  }
  EXPECT_TRUE(user.messages().empty()) << "a message box interrupted the host's event";
}

// Each kind's entries go in once per process, on the first pass that finds a
// document of that kind active; a failed installation is tried again on the
// next pass; a drawing gets nothing and changes nothing. Every pass asks for
// the menu frame first and keeps no reference.
TEST(FrameMenus, EachKindIsInstalledOnceAndADrawingGetsNone) {
  StartedAddin& addin = Started();
  hostsim::Simulator& sim = addin.sim;
  ASSERT_EQ(sim.menus().size(), 3u) << "the part entries, from the start, and no others yet";
  const std::wstring other = addin.folder.file(L"arbre.SLDPRT"), assembly = addin.folder.file(L"ensemble.SLDASM");
  ASSERT_TRUE(hostsim::writePartFixture(other, L"box:0,0,0,1,1,1") && hostsim::writeAssemblyFixture(assembly, {other}));
  const Variant none = Value(VT_DISPATCH), drawing = Value(VT_I4, 3);
  hostsim::DialogResponder user;
  const struct {
    const char* what;
    std::function<void()> act;
    Calls calls;
  } steps[] = {
      {"a drawing active (a kind the simulator has not: its answer planned)",
       [&] {
         sim.answerOddly(L"DocumentKind", 1, &drawing.Get());
         Raise(2, {&none, &drawing}, nullptr);
       },
       {L"Application.GetMenuFrame() -> object", L"Application.ActiveDocument() -> object",
        L"Document.DocumentKind() -> 3 (odd answer)"}},
      {"an assembly opened, the first installation failing",
       [&] {
         sim.failCall(L"AddTopMenu");
         sim.open(assembly);
       },
       MenuPass(2) +
           Calls{L"MenuFrame.AddTopMenu(\"Compression@&Outils\", 0) -> error 0x80020009 \"Simulated failure of AddTopMenu\""} +
           MenuPass(2, true)},
      {"the part, then the assembly activated",
       [&] { sim.activate(L"bride.SLDPRT") && sim.activate(L"ensemble.SLDASM"); }, MenuPass(1) + MenuPass(2)},
      {"no document",
       [&] {
         CloseAll(sim);
         sim.clearCallLog();
         Raise(2, {&none, &none}, nullptr);
       },
       MenuPass(0)},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    sim.clearCallLog();
    step.act();
    EXPECT_EQ(sim.callLines(), step.calls);
  }
  EXPECT_EQ(sim.menus().size(), 6u);
  EXPECT_EQ(sim.liveReferences(), 0) << "a pass kept the document or the menu frame";
  EXPECT_TRUE(user.messages().empty()) << "a message box interrupted the host's event";
}

}  // namespace
}  // namespace frametest
