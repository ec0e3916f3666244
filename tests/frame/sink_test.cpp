// The event sink as the host sees it: its IDispatch answers, the events it
// knows, and what a failing handler does.
#include <gtest/gtest.h>

#include "FrameTestFixture.h"

using frametest::ScriptedHost;
using FrameSink = frametest::RunningHostTest;

namespace {

VARIANT Text(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);  // the test process ends soon; not freed
  return v;
}

VARIANT Long(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT Object(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  return v;
}

// A result slot that already holds something, to see it replaced or kept.
VARIANT Sentinel() { return Long(4242); }

IUnknown* Identity(IUnknown* object) {
  IUnknown* identity = nullptr;
  object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
  if (identity) identity->Release();
  return identity;
}

}  // namespace

TEST_F(FrameSink, EveryEventKnownOrNotIsAnsweredFalseWithSuccess) {
  Start();
  VARIANT unknown = Sentinel();
  EXPECT_EQ(S_OK, host->Raise(99, {Long(7)}, &unknown));
  EXPECT_TRUE(host->calls.empty()) << "an unknown event made host calls";
  host->activeKind = 1;
  VARIANT opened = Sentinel(), changed = Sentinel(), closed = Sentinel();

  EXPECT_EQ(S_OK, host->Raise(1, {Text(L"bride.SLDPRT")}, &opened));
  EXPECT_EQ(S_OK, host->Raise(2, {Object(nullptr), Long(1)}, &changed));
  EXPECT_EQ(S_OK, host->Raise(3, {}, &closed));

  for (const VARIANT& result : {unknown, opened, changed, closed}) {
    EXPECT_EQ(VT_BOOL, result.vt);
    EXPECT_EQ(VARIANT_FALSE, result.boolVal);
  }
}

TEST_F(FrameSink, OpenAndActivationEventsMakeAMenuPassAndCloseDoesNot) {
  Start();
  ASSERT_EQ(S_OK, host->Raise(3, {}));
  EXPECT_TRUE(host->calls.empty()) << "event 3 made host calls";

  ASSERT_EQ(S_OK, host->Raise(1, {Text(L"bride.SLDPRT")}));
  EXPECT_EQ((std::vector<std::wstring>{L"GetMenuFrame", L"ActiveDocument"}), host->calls);

  host->calls.clear();
  ASSERT_EQ(S_OK, host->Raise(2, {Object(nullptr), Long(2)}));
  EXPECT_EQ((std::vector<std::wstring>{L"GetMenuFrame", L"ActiveDocument"}), host->calls);
}

TEST_F(FrameSink, WithoutAResultSlotNothingIsWritten) {
  Start();
  EXCEPINFO exception{};
  exception.scode = 0x1234;
  EXPECT_EQ(S_OK, host->Raise(1, {Text(L"bride.SLDPRT")}, nullptr, &exception));
  EXPECT_EQ(S_OK, host->Raise(99, {}, nullptr, &exception));
  EXPECT_EQ(0x1234, exception.scode);
  EXPECT_EQ(nullptr, exception.bstrDescription);
}

TEST_F(FrameSink, AnEventWithTheWrongArgumentCountIsRefusedAndLeavesTheResult) {
  Start();
  VARIANT result = Sentinel();
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, host->Raise(2, {Long(1)}, &result));
  EXPECT_EQ(VT_I4, result.vt);
  EXPECT_EQ(4242, result.lVal);
  EXPECT_TRUE(host->calls.empty());
}

TEST_F(FrameSink, IsOneComObjectForTheSourceInterfaceWithoutTypeInformation) {
  Start();
  IDispatch* sink = host->sink;
  for (const IID& iid : {frametest::kScriptedEventsIid, IID_IDispatch, IID_IUnknown}) {
    void* answer = nullptr;
    ASSERT_EQ(S_OK, sink->QueryInterface(iid, &answer));
    EXPECT_EQ(static_cast<void*>(sink), answer);
    static_cast<IUnknown*>(answer)->Release();
  }
  EXPECT_EQ(Identity(sink), static_cast<IUnknown*>(sink));
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, sink->QueryInterface(IID_IConnectionPoint, &none));
  EXPECT_EQ(nullptr, none);

  // The add-in's own reference and the one the host took when advised.
  EXPECT_EQ(3u, sink->AddRef());
  EXPECT_EQ(2u, sink->Release());

  UINT count = 77;
  EXPECT_EQ(S_OK, sink->GetTypeInfoCount(&count));
  EXPECT_EQ(0u, count);
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(E_NOTIMPL, sink->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
  wchar_t name[] = L"Anything";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  EXPECT_EQ(E_NOTIMPL, sink->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
  DISPPARAMS noArguments{};
  EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, sink->Invoke(3, frametest::kScriptedEventsIid, LOCALE_USER_DEFAULT,
                                                  DISPATCH_METHOD, &noArguments, nullptr, nullptr, nullptr))
      << "Invoke for another interface than IID_NULL";
}

TEST_F(FrameSink, AFailingHostCallInAnEventIsReportedToTheHostNotTheUser) {
  Start();
  host->activeKind = 1;
  host->failNext = L"AddTopMenu";
  VARIANT result = Sentinel();
  EXCEPINFO exception{};

  EXPECT_EQ(DISP_E_EXCEPTION, host->Raise(2, {Object(nullptr), Long(1)}, &result, &exception));

  ASSERT_NE(nullptr, exception.bstrDescription);
  EXPECT_NE(std::wstring::npos, std::wstring(exception.bstrDescription).find(L"AddTopMenu"));
  EXPECT_TRUE(messageTexts().empty()) << "a message box interrupted the host's event";
  EXPECT_EQ(0, ScriptedHost::liveObjects) << "the failed pass kept a document or menu frame";

  // The entries were not installed, so the next pass installs them.
  host->calls.clear();
  EXPECT_EQ(S_OK, host->Raise(2, {Object(nullptr), Long(1)}));
  EXPECT_EQ(6u, host->calls.size());
}
