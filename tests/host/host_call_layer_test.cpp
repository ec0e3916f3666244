// The typed host-call layer against a scripted IDispatch: what reaches
// Invoke for every operation, how results are converted, how failures
// surface, and that references balance.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "ScriptedDispatch.h"
#include "host/HostCallError.h"
#include "host/HostObjects.h"
#include "host/SafeArray.h"

namespace {

// Renders one argument as "TYPE:value" so a whole call compares as text.
std::wstring Render(const VARIANT& v) {
  std::wostringstream out;
  switch (v.vt) {
    case VT_BSTR: out << L"BSTR:" << (v.bstrVal ? v.bstrVal : L""); break;
    case VT_I4: out << L"I4:" << v.lVal; break;
    case VT_R8: out << L"R8:" << v.dblVal; break;
    case VT_BOOL: out << L"BOOL:" << (v.boolVal == VARIANT_TRUE ? L"TRUE" : v.boolVal == 0 ? L"FALSE" : L"?"); break;
    case VT_I4 | VT_BYREF: out << L"I4&"; break;
    case VT_ARRAY | VT_BYREF | VT_R8: out << L"R8[]&"; break;
    default: out << L"vt" << v.vt;
  }
  return out.str();
}

std::wstring Render(const RecordedCall& c) {
  std::wostringstream out;
  out << std::hex << c.id << std::dec << L"/" << c.flags << L"(";
  for (size_t i = 0; i < c.arguments.size(); ++i) out << (i ? L" " : L"") << Render(c.arguments[i]);
  out << L")";
  if (!c.named.empty()) out << L" named " << c.named[0];
  return out.str();
}

DispatchDriver Borrowed(ScriptedDispatch& host) { return DispatchDriver(&host, false); }

struct OperationCase {
  const char* name;
  std::function<void(ScriptedDispatch&)> call;
  const wchar_t* expected;  // dispid(hex)/flags(args...)
};

// The operations the part commands and the frame do not call yet (the
// assembly commands will), and one property put. Those they do call are
// pinned by name, kind and arguments in the host simulator's call log,
// which refuses a wrong dispid, kind or argument type.
// flags: 1 method, 2 property get, 4 property put.
const OperationCase kOperations[] = {
    {"ActivateDocument", [](ScriptedDispatch& h) { HostApplication(Borrowed(h)).ActivateDocument(L"a.SLDPRT"); },
     L"3/1(BSTR:a.SLDPRT)"},
    {"CloseDocument", [](ScriptedDispatch& h) { HostApplication(Borrowed(h)).CloseDocument(L"a.SLDPRT"); },
     L"7/1(BSTR:a.SLDPRT)"},
    {"CloseDocumentByPath", [](ScriptedDispatch& h) { HostApplication(Borrowed(h)).CloseDocumentByPath(L"C:\\m.SLDASM"); },
     L"21/1(BSTR:C:\\m.SLDASM)"},
    {"OpenDocumentEx",
     [](ScriptedDispatch& h) {
       long error = -1;
       HostApplication(Borrowed(h)).OpenDocumentEx(L"C:\\p.SLDPRT", 2, error);
     },
     L"49/1(BSTR:C:\\p.SLDPRT I4:2 I4&)"},
    {"SaveDocument", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).SaveDocument(); }, L"100da/1()"},
    {"DocumentFlag", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).SetDocumentFlag(false); },
     L"100e1/4(BOOL:FALSE) named -3"},
    {"ActiveConfiguration", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).ActiveConfiguration(); },
     L"10131/1()"},
    {"PrepareComponents", [](ScriptedDispatch& h) { AssemblyDocument(Borrowed(h)).PrepareComponents(true); },
     L"38/1(BOOL:TRUE)"},
    {"NextFeature", [](ScriptedDispatch& h) { Feature(Borrowed(h)).NextFeature(); }, L"3/1()"},
    {"GetRootComponent", [](ScriptedDispatch& h) { Configuration(Borrowed(h)).GetRootComponent(); }, L"1/1()"},
    {"ComponentChildren", [](ScriptedDispatch& h) { Component(Borrowed(h)).ComponentChildren(); }, L"1/1()"},
    {"ComponentPath", [](ScriptedDispatch& h) { Component(Borrowed(h)).ComponentPath(); }, L"22/1()"},
};

TEST(HostOperationTable, OperationsSendTheirDispidKindAndArgumentsInOrder) {
  for (const auto& op : kOperations) {
    ScriptedDispatch host;
    op.call(host);
    ASSERT_EQ(host.calls().size(), 1u) << op.name;
    EXPECT_EQ(Render(host.calls()[0]), op.expected) << op.name;
    // Property puts take no result slot; everything else offers one.
    EXPECT_EQ(host.calls()[0].hadResultSlot, (host.calls()[0].flags & DISPATCH_PROPERTYPUT) == 0) << op.name;
    EXPECT_EQ(host.references(), 1) << op.name;
  }
}

TEST(HostOperationTable, CreateLinePassesTwoPointArraysByReferenceStartFirst) {
  ScriptedDispatch host;
  SafeArray start(SafeArrayCreateVector(VT_R8, 0, 3));
  SafeArray end(SafeArrayCreateVector(VT_R8, 0, 3));
  SAFEARRAY* startSlot = start.get();
  SAFEARRAY* endSlot = end.get();
  VARIANT a, b;
  a.vt = b.vt = VT_ARRAY | VT_BYREF | VT_R8;
  a.pparray = &startSlot;
  b.pparray = &endSlot;
  host.AnswerBool(true);
  EXPECT_TRUE(ModelDocument(Borrowed(host)).CreateLine(a, b));
  ASSERT_EQ(host.calls().size(), 1u);
  const auto& call = host.calls()[0];
  EXPECT_EQ(Render(call), L"1000c/1(R8[]& R8[]&)");
  EXPECT_EQ(call.arguments[0].vt, 0x6005);
  EXPECT_EQ(*call.arguments[0].pparray, start.get());
  EXPECT_EQ(*call.arguments[1].pparray, end.get());
}

TEST(HostResults, TextLongAndBoolAreConverted) {
  ScriptedDispatch host;
  ModelDocument doc(Borrowed(host));
  host.AnswerText(L"C:\\Pièces\\bride.SLDPRT");
  EXPECT_EQ(doc.DocumentPath(), L"C:\\Pièces\\bride.SLDPRT");
  host.AnswerLong(2);
  EXPECT_EQ(doc.DocumentKind(), 2);
  host.AnswerBool(true);
  EXPECT_TRUE(doc.SelectByName(L"x", L"PLANE", 0, 0, 0));
  host.AnswerBool(false);
  EXPECT_FALSE(doc.SaveToPath(L"x"));
  // A host that answers nothing gives the empty value.
  EXPECT_EQ(doc.DocumentPath(), L"");
  EXPECT_EQ(doc.DocumentKind(), 0);
}

TEST(HostResults, AnOutErrorCodeIsFilledByTheHost) {
  ScriptedDispatch host;
  host.FillOutLong(-7);
  long error = 12345;
  DispatchDriver opened = HostApplication(Borrowed(host)).OpenDocumentEx(L"C:\\p.SLDPRT", 1, error);
  EXPECT_EQ(error, -7);
  EXPECT_FALSE(opened);
}

TEST(HostResults, AnObjectResultIsOwnedAndReleasedOnce) {
  ScriptedDispatch host;
  ScriptedDispatch document;
  host.AnswerObject(&document);
  {
    ModelDocument active = HostApplication(Borrowed(host)).ActiveDocument();
    ASSERT_TRUE(active);
    EXPECT_EQ(active.get(), &document);
    EXPECT_EQ(document.references(), 2);
    ModelDocument copy(active.driver());  // a copy holds a reference of its own
    EXPECT_EQ(document.references(), 3);
  }
  EXPECT_EQ(document.references(), 1);
  EXPECT_EQ(host.references(), 1);
}

TEST(HostResults, ANullObjectResultGivesAnEmptyView) {
  ScriptedDispatch host;
  VARIANT nothing;
  nothing.vt = VT_DISPATCH;
  nothing.pdispVal = nullptr;
  host.AnswerWith(nothing);
  EXPECT_FALSE(HostApplication(Borrowed(host)).ActiveDocument());
}

TEST(HostResults, AWrongResultTypeIsATypeMismatchNamingTheOperation) {
  ScriptedDispatch host;
  host.AnswerText(L"not a number");
  try {
    ModelDocument(Borrowed(host)).DocumentKind();
    FAIL() << "no exception";
  } catch (const HostCallError& e) {
    EXPECT_EQ(e.result(), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(e.operation(), L"DocumentKind");
  }
}

TEST(HostFailures, AFailedInvokeThrowsWithOperationResultAndDescription) {
  const struct {
    HRESULT hr;
    const wchar_t* description;  // of the exception, filled in at once or on demand
    bool deferred;
    std::function<void(ScriptedDispatch&)> call;
    std::wstring operation;
  } cases[] = {
      {DISP_E_EXCEPTION, L"plan introuvable", false,
       [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).SelectByName(L"x", L"PLANE", 0, 0, 0); }, L"SelectByName"},
      {DISP_E_EXCEPTION, L"plus tard", true, [](ScriptedDispatch& h) { PartDocument(Borrowed(h)).FinishPartEdit(); },
       L"FinishPartEdit"},
      {DISP_E_MEMBERNOTFOUND, nullptr, false, [](ScriptedDispatch& h) { HostApplication(Borrowed(h)).GetMenuFrame(); },
       L"GetMenuFrame"},
  };
  for (const auto& c : cases) {
    ScriptedDispatch host;
    host.FailWith(c.hr, c.description, c.deferred);
    try {
      c.call(host);
      ADD_FAILURE() << "no exception";
    } catch (const HostCallError& e) {
      EXPECT_EQ(e.result(), c.hr);
      EXPECT_EQ(e.operation(), c.operation);
      EXPECT_EQ(e.description(), c.description ? c.description : L"");
      EXPECT_NE(std::string(e.what()).find(std::string(c.operation.begin(), c.operation.end())), std::string::npos);
    }
  }
}

TEST(HostFailures, ReferencesBalanceWhenACallThrowsMidRoutine) {
  ScriptedDispatch host;
  ScriptedDispatch document;
  host.AnswerObject(&document);
  document.FailWith(DISP_E_EXCEPTION, L"panne");
  auto routine = [&] {
    HostApplication app(DispatchDriver::Borrow(&host));
    ModelDocument doc = app.ActiveDocument();
    PartDocument part(DispatchDriver::Borrow(doc.get()));
    doc.RebuildModel();  // fails
  };
  EXPECT_THROW(routine(), HostCallError);
  EXPECT_EQ(document.references(), 1);
  EXPECT_EQ(host.references(), 1);
}

TEST(EmptyDriver, MakesNoCallAndYieldsEmptyValues) {
  HostApplication app;
  EXPECT_FALSE(app.ActiveDocument());
  EXPECT_FALSE(app.GetMenuFrame());
  long error = 99;
  EXPECT_FALSE(app.OpenDocumentEx(L"x", 1, error));
  ModelDocument doc;
  EXPECT_EQ(doc.DocumentPath(), L"");
  EXPECT_EQ(doc.DocumentKind(), 0);
  EXPECT_FALSE(doc.SelectByName(L"x", L"PLANE", 0, 0, 0));
  doc.SetDocumentFlag(false);  // no crash, no call
  EXPECT_TRUE(PartDocument().PartBoundingBox(true).empty());
}

TEST(DriverOwnership, AttachReleasesWhatWasHeldAndOwnershipDecidesRelease) {
  ScriptedDispatch first, second;
  first.AddRef();  // the reference the driver adopts
  {
    DispatchDriver driver = DispatchDriver::Adopt(&first);
    EXPECT_EQ(first.references(), 2);
    second.AddRef();
    driver.AttachDispatch(&second, true);
    EXPECT_EQ(first.references(), 1);
    EXPECT_EQ(second.references(), 2);
    driver.ReleaseDispatch();
    EXPECT_EQ(second.references(), 1);
    driver.AttachDispatch(&second, false);  // not owned: never released
  }
  EXPECT_EQ(second.references(), 1);
}

TEST(DriverOwnership, CopiesAndMovesKeepTheCountRight) {
  ScriptedDispatch object;
  {
    DispatchDriver a = DispatchDriver::Borrow(&object);
    DispatchDriver b = a;
    EXPECT_EQ(object.references(), 3);
    DispatchDriver c = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(object.references(), 3);
    b = c;
    EXPECT_EQ(object.references(), 3);
    DispatchDriver nonOwning(&object, false);
    DispatchDriver copyOfNonOwning = nonOwning;  // a copy owns its own reference
    EXPECT_EQ(object.references(), 4);
  }
  EXPECT_EQ(object.references(), 1);
}

}  // namespace
