// What every call meets before it does anything: the Automation errors of a
// strict server, the call log's exact lines, planned faults and the audit of
// the references clients hold.
#include <gtest/gtest.h>

#include "hostsim/HostTestSupport.h"
#include "core/Simulator.h"

using namespace hosttest;

namespace {

class HostsimAutomation : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.file(L"plaque.SLDPRT");
    ASSERT_TRUE(hostsim::writePartFixture(path_, L"box:0,0,0,10,20,5"));
    ASSERT_TRUE(sim_.open(path_));
    sim_.clearCallLog();
  }
  Obj activeDocument() { return objectOf(get(sim_.application(), dispid::ActiveDocument)); }

  hostsim::Simulator sim_;
  TempFolder folder_;
  std::wstring path_;
};

TEST_F(HostsimAutomation, MalformedCallsGetTheErrorsOfAStrictServer) {
  IDispatch* app = sim_.application();
  Obj doc = activeDocument();
  // ActiveDocument is a property get, DocumentPath a method, DocumentFlag a put.
  const struct {
    const char* what;
    Outcome outcome;
    HRESULT expected;
  } cases[] = {
      {"unknown dispid on the application", method(app, 999), DISP_E_MEMBERNOTFOUND},
      {"unknown dispid on a document", method(doc.get(), 0x10099), DISP_E_MEMBERNOTFOUND},
      {"a get called as a method", method(app, dispid::ActiveDocument), DISP_E_MEMBERNOTFOUND},
      {"a method read as a property", get(doc.get(), dispid::DocumentPath), DISP_E_MEMBERNOTFOUND},
      {"a put called as a method", method(doc.get(), dispid::DocumentFlag, args(flag(false))), DISP_E_MEMBERNOTFOUND},
      {"too few arguments", method(app, dispid::OpenDocument, args(text(path_))), DISP_E_BADPARAMCOUNT},
      {"one argument short", method(doc.get(), dispid::SelectByName, args(text(L"a"), text(L"PLANE"), r8(0), r8(0))),
       DISP_E_BADPARAMCOUNT},
      {"an integer for a flag", method(doc.get(), dispid::DeleteSelection, args(i4(0))), DISP_E_TYPEMISMATCH},
      // The error code of OpenDocumentEx must be an I4 passed by reference.
      {"an error code by value", method(app, dispid::OpenDocumentEx, args(text(path_), i4(1), i4(0))),
       DISP_E_TYPEMISMATCH},
  };
  for (const auto& c : cases) EXPECT_EQ(c.outcome.hr, c.expected) << c.what;
  Outcome outcome = method(doc.get(), dispid::SelectByName,
                           args(text(L"Plan de face"), text(L"PLANE"), r8(0), i4(0), r8(0)));
  EXPECT_EQ(outcome.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(outcome.argumentError, 1u) << "positions count from the last argument";
}

TEST_F(HostsimAutomation, CallLogRecordsCallsInTheirExactFormat) {
  Obj doc = activeDocument();
  textOf(method(doc.get(), dispid::DocumentPath));
  integerOf(method(doc.get(), dispid::DocumentKind));
  put(doc.get(), dispid::DocumentFlag, flag(false));
  booleanOf(method(doc.get(), dispid::SelectByName, args(text(L"Plan de face"), text(L"PLANE"), r8(0), r8(-0.001), r8(10.001))));
  method(doc.get(), dispid::ToggleSketch);
  PointArg a(-0.001, 0), b(10.001, 20.5);
  booleanOf(method(doc.get(), dispid::CreateLine, args(a.variant(), b.variant())));
  doublesOf(method(doc.get(), dispid::PartBoundingBox, args(flag(true))));
  method(doc.get(), dispid::SetSketchDirect, args(flag(true)));
  method(doc.get(), dispid::FinishPartEdit);
  integerOf(method(doc.get(), dispid::PrepareComponents, args(flag(true))));
  long error = -1;
  VARIANT out;
  VariantInit(&out);
  out.vt = VT_I4 | VT_BYREF;
  out.plVal = &error;
  Outcome missing = method(sim_.application(), dispid::OpenDocumentEx, args(text(L"C:\\nowhere\\x.SLDPRT"), i4(1), Var(out)));
  EXPECT_EQ(missing.result.get().pdispVal, nullptr);
  EXPECT_EQ(error, 2);

  std::vector<std::wstring> expected = {
      L"Application.ActiveDocument() -> object",
      L"Document.DocumentPath() -> \"" + path_ + L"\"",
      L"Document.DocumentKind() -> 1",
      L"Document.DocumentFlag = FALSE",
      L"Document.SelectByName(\"Plan de face\", \"PLANE\", 0, -0.001, 10.001) -> TRUE",
      L"Document.ToggleSketch()",
      L"Document.CreateLine([-0.001, 0, 0], [10.001, 20.5, 0]) -> TRUE",
      L"Document.PartBoundingBox(TRUE) -> [0, 0, 0, 10, 20, 5]",
      L"Document.SetSketchDirect(TRUE)",
      L"Document.FinishPartEdit()",
      L"Document.PrepareComponents(TRUE) -> 0",
      L"Application.OpenDocumentEx(\"C:\\nowhere\\x.SLDPRT\", 1, &2) -> null",
  };
  EXPECT_EQ(sim_.callLines(), expected);
}

TEST_F(HostsimAutomation, CallLogRecordsRefusedCalls) {
  method(sim_.application(), 999, args(i4(7)));
  method(sim_.application(), dispid::CloseDocument, args(i4(7)));
  std::vector<std::wstring> expected = {
      L"Application.[dispid 0x3E7](7) -> error 0x80020003",
      L"Application.CloseDocument(7) -> error 0x80020005",
  };
  EXPECT_EQ(sim_.callLines(), expected);
}

TEST_F(HostsimAutomation, CallLogIsWrittenAsUtf8Lines) {
  Obj doc = activeDocument();
  method(doc.get(), dispid::SelectByName, args(text(L"Pièce"), text(L"PLANE"), r8(0), r8(0), r8(0)));
  const std::wstring logPath = folder_.file(L"calls.log");
  ASSERT_TRUE(sim_.writeCallLog(logPath));
  EXPECT_EQ(readFileBytes(logPath),
            "Application.ActiveDocument() -> object\n"
            "Document.SelectByName(\"Pi\xC3\xA8""ce\", \"PLANE\", 0, 0, 0) -> FALSE\n");
}

TEST_F(HostsimAutomation, NumbersUseTheShortestRoundTripText) {
  EXPECT_EQ(hostsim::formatNumber(-0.001), L"-0.001");
  EXPECT_EQ(hostsim::formatNumber(10.001), L"10.001");
  EXPECT_EQ(hostsim::formatNumber(0.0), L"0");
  EXPECT_EQ(hostsim::formatNumber(-0.0), L"0");
  EXPECT_EQ(hostsim::formatNumber(0.1 + 0.2), L"0.30000000000000004");
}

TEST_F(HostsimAutomation, PlannedFaultFailsTheNthCallOnlyAndChangesNothing) {
  sim_.failCall(L"SelectByName", 2, L"Plantage simulé");
  Obj doc = activeDocument();
  auto select = [&] {
    return method(doc.get(), dispid::SelectByName, args(text(L"Plan de face"), text(L"PLANE"), r8(0), r8(0), r8(0)));
  };
  EXPECT_EQ(select().hr, S_OK);
  method(doc.get(), dispid::DeleteSelection, args(flag(false)));  // the plane is gone...
  Outcome failed = select();
  EXPECT_EQ(failed.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(failed.description, L"Plantage simulé");
  Outcome third = select();
  EXPECT_EQ(third.hr, S_OK);
  EXPECT_FALSE(booleanOf(third));
  auto lines = sim_.callLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[3], L"Document.SelectByName(\"Plan de face\", \"PLANE\", 0, 0, 0) -> error 0x80020009 \"Plantage simulé\"");
}

TEST_F(HostsimAutomation, FaultCanNameTheObjectAndHasADefaultDescription) {
  sim_.failCall(L"Feature.FeatureName");
  Obj doc = activeDocument();
  EXPECT_EQ(textOf(method(doc.get(), dispid::DocumentPath)), path_);
  Obj feature = objectOf(method(doc.get(), dispid::FirstFeature));
  Outcome failed = get(feature.get(), dispid::FeatureName);
  EXPECT_EQ(failed.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(failed.description, L"Simulated failure of Feature.FeatureName");
  EXPECT_EQ(textOf(get(feature.get(), dispid::FeatureName)), L"Plan de face");
}

TEST_F(HostsimAutomation, ReferenceAuditCountsWhatClientsHold) {
  const long base = sim_.liveReferences();
  {
    Obj doc = activeDocument();
    EXPECT_EQ(sim_.liveReferences(), base + 1);
    Obj set = objectOf(get(doc.get(), dispid::GetSelectionSet));
    Obj feature = objectOf(method(doc.get(), dispid::FirstFeature));
    EXPECT_EQ(sim_.liveReferences(), base + 3);
    feature.get()->AddRef();
    EXPECT_EQ(sim_.liveReferences(), base + 4);
    feature.get()->Release();
    method(doc.get(), dispid::ActiveDocument);  // refused: hands nothing out
    doublesOf(method(doc.get(), dispid::PartBoundingBox, args(flag(true))));
  }
  EXPECT_EQ(sim_.liveReferences(), base);
  // A caller that asks for no result gets no reference to release.
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ASSERT_EQ(sim_.application()->Invoke(dispid::ActiveDocument, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr,
                                       nullptr, nullptr),
            S_OK);
  EXPECT_EQ(sim_.liveReferences(), base);
}

}  // namespace
