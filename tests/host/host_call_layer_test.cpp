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

// flags: 1 method, 2 property get, 4 property put.
const OperationCase kOperations[] = {
    {"ActiveDocument", [](ScriptedDispatch& h) { HostApplication(Borrowed(h)).ActiveDocument(); }, L"1/2()"},
    {"OpenDocument", [](ScriptedDispatch& h) { HostApplication(Borrowed(h)).OpenDocument(L"C:\\a.SLDPRT", 1); },
     L"2/1(BSTR:C:\\a.SLDPRT I4:1)"},
    {"ActivateDocument", [](ScriptedDispatch& h) { HostApplication(Borrowed(h)).ActivateDocument(L"a.SLDPRT"); },
     L"3/1(BSTR:a.SLDPRT)"},
    {"GetMenuFrame", [](ScriptedDispatch& h) { HostApplication(Borrowed(h)).GetMenuFrame(); }, L"5/1()"},
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
    {"GetSelectionSet", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).GetSelectionSet(); }, L"10001/2()"},
    {"SaveToPath", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).SaveToPath(L"D:\\x.SLDPRT"); },
     L"10025/1(BSTR:D:\\x.SLDPRT)"},
    {"DocumentPath", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).DocumentPath(); }, L"10048/1()"},
    {"DocumentKind", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).DocumentKind(); }, L"10049/1()"},
    {"RebuildModel", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).RebuildModel(); }, L"1008b/1()"},
    {"ToggleSketch", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).ToggleSketch(); }, L"1008f/1()"},
    {"ActiveSketch", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).ActiveSketch(); }, L"100a8/1()"},
    {"SelectByName",
     [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).SelectByName(L"BEx", L"BODYFEATURE", 0.5, -1.0, 2.0); },
     L"100ac/1(BSTR:BEx BSTR:BODYFEATURE R8:0.5 R8:-1 R8:2)"},
    {"SaveDocument", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).SaveDocument(); }, L"100da/1()"},
    {"SetSketchDirect", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).SetSketchDirect(true); },
     L"100df/1(BOOL:TRUE)"},
    {"DocumentFlag", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).SetDocumentFlag(false); },
     L"100e1/4(BOOL:FALSE) named -3"},
    {"DeleteSelection", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).DeleteSelection(false); },
     L"1010e/1(BOOL:FALSE)"},
    {"ActiveConfiguration", [](ScriptedDispatch& h) { ModelDocument(Borrowed(h)).ActiveConfiguration(); },
     L"10131/1()"},
    {"FirstFeature", [](ScriptedDispatch& h) { PartDocument(Borrowed(h)).FirstFeature(); }, L"4/1()"},
    {"ExtrudeSketch",
     [](ScriptedDispatch& h) {
       PartDocument(Borrowed(h)).ExtrudeSketch(
           {false, true, true, 0, 0, 4.001, 5.001, false, false, true, true, 0.0, 0.0, true, true});
     },
     L"9/1(BOOL:FALSE BOOL:TRUE BOOL:TRUE I4:0 I4:0 R8:4.001 R8:5.001 BOOL:FALSE BOOL:FALSE BOOL:TRUE "
     L"BOOL:TRUE R8:0 R8:0 BOOL:TRUE BOOL:TRUE)"},
    {"PartBoundingBox", [](ScriptedDispatch& h) { PartDocument(Borrowed(h)).PartBoundingBox(true); },
     L"f/1(BOOL:TRUE)"},
    {"FinishPartEdit", [](ScriptedDispatch& h) { PartDocument(Borrowed(h)).FinishPartEdit(); }, L"11/1()"},
    {"PrepareComponents", [](ScriptedDispatch& h) { AssemblyDocument(Borrowed(h)).PrepareComponents(true); },
     L"38/1(BOOL:TRUE)"},
    {"AddMenuEntry",
     [](ScriptedDispatch& h) {
       MenuFrame(Borrowed(h)).AddMenuEntry(L"Compression@&Outils", L"Décompacter", -1, L"ZELM_Compact@X");
     },
     L"1/1(BSTR:Compression@&Outils BSTR:Décompacter I4:-1 BSTR:ZELM_Compact@X)"},
    {"AddTopMenu", [](ScriptedDispatch& h) { MenuFrame(Borrowed(h)).AddTopMenu(L"Compression@&Outils", 0); },
     L"2/1(BSTR:Compression@&Outils I4:0)"},
    {"FeatureName get", [](ScriptedDispatch& h) { Feature(Borrowed(h)).FeatureName(); }, L"1/2()"},
    {"FeatureName put", [](ScriptedDispatch& h) { Feature(Borrowed(h)).SetFeatureName(L"Esq"); },
     L"1/4(BSTR:Esq) named -3"},
    {"NextFeature", [](ScriptedDispatch& h) { Feature(Borrowed(h)).NextFeature(); }, L"3/1()"},
    {"FeatureKind", [](ScriptedDispatch& h) { Feature(Borrowed(h)).FeatureKind(); }, L"6/1()"},
    {"SelectedCount", [](ScriptedDispatch& h) { SelectionSet(Borrowed(h)).SelectedCount(); }, L"1/1()"},
    {"SelectedObject", [](ScriptedDispatch& h) { SelectionSet(Borrowed(h)).SelectedObject(1); }, L"c/1(I4:1)"},
    {"GetRootComponent", [](ScriptedDispatch& h) { Configuration(Borrowed(h)).GetRootComponent(); }, L"1/1()"},
    {"ComponentChildren", [](ScriptedDispatch& h) { Component(Borrowed(h)).ComponentChildren(); }, L"1/1()"},
    {"ComponentPath", [](ScriptedDispatch& h) { Component(Borrowed(h)).ComponentPath(); }, L"22/1()"},
};

TEST(HostOperationTable, EveryOperationSendsItsDispidKindAndArgumentsInOrder) {
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
