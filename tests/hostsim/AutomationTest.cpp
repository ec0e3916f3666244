// What every call meets: the errors of a strict server, the call log's exact
// lines, planned answers, closed documents and the reference audit.
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

class HostsimAutomation : public HostTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim.open(part(L"plaque.SLDPRT", L"box:0,0,0,10,20,5")));
    doc_ = active();
  }
  const std::wstring path_ = path(L"plaque.SLDPRT");
  Obj doc_;
};

TEST_F(HostsimAutomation, MalformedCallsGetTheErrorsOfAStrictServer) {
  IDispatch* application = sim.application();
  IDispatch* doc = doc_.get();
  long error = 0;
  const struct {
    const char* what;
    Outcome outcome;
    HRESULT expected;
    UINT position;
  } cases[] = {
      {"unknown dispid", method(doc, 0x10099), DISP_E_MEMBERNOTFOUND, 0},
      {"a get called as a method", method(application, dispid::ActiveDocument), DISP_E_MEMBERNOTFOUND, 0},
      {"a method read as a property", get(doc, dispid::DocumentPath), DISP_E_MEMBERNOTFOUND, 0},
      {"a put called as a method", method(doc, dispid::DocumentFlag, args(false)), DISP_E_MEMBERNOTFOUND, 0},
      {"one argument short", method(application, dispid::OpenDocument, args(path_)), DISP_E_BADPARAMCOUNT, 0},
      {"an integer for a flag", method(doc, dispid::DeleteSelection, args(0)), DISP_E_TYPEMISMATCH, 0},
      {"an I4 for an R8", method(doc, dispid::SelectByName, args(L"a", L"PLANE", 0.0, 0, 0.0)), DISP_E_TYPEMISMATCH, 1},
      {"an error code by value", method(application, dispid::OpenDocumentEx, args(path_, 1, 0)), DISP_E_TYPEMISMATCH, 0},
      // A point is three R8 from index 0 in an array passed by reference, nothing else.
      {"a point by value", method(doc, dispid::CreateLine, args(doubles({0, 0, 0}), doubles({1, 1, 0}, 0, false))),
       DISP_E_TYPEMISMATCH, 0},
      {"a point from 1", method(doc, dispid::CreateLine, args(doubles({0, 0, 0}, 1), doubles({1, 1, 0}))),
       DISP_E_TYPEMISMATCH, 1},
      {"a point of two", method(doc, dispid::CreateLine, args(doubles({0, 0}), doubles({1, 1, 0}))),
       DISP_E_TYPEMISMATCH, 1},
      {"a number for a point", method(doc, dispid::CreateLine, args(doubles({0, 0, 0}), 1.0)), DISP_E_TYPEMISMATCH, 0},
      {"all well", method(application, dispid::OpenDocumentEx, args(path_, 1, out(error))), S_OK, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.outcome.hr, c.expected) << c.what;
    if (c.expected == DISP_E_TYPEMISMATCH) {
      EXPECT_EQ(c.outcome.argumentError, c.position) << c.what;
    }
  }
  EXPECT_EQ(sim.callLines()[0], L"Document.[dispid 0x10099]() -> error 0x80020003");
}

TEST_F(HostsimAutomation, CallLogRecordsCallsInTheirExactFormatAsUtf8) {
  put(doc_.get(), dispid::DocumentFlag, false);
  method(doc_.get(), dispid::SelectByName, args(L"Pièce", L"PLANE", -0.0, 0.1 + 0.2, 10.001));
  method(doc_.get(), dispid::PartBoundingBox, args(true));
  long error = -1;
  app(dispid::OpenDocumentEx, args(L"C:\\nulle-part\\x.SLDPRT", 1, out(error)));
  app(dispid::CloseDocument);
  const std::wstring logPath = folder.file(L"calls.log");
  ASSERT_TRUE(sim.writeCallLog(logPath));
  EXPECT_EQ(ReadFileBytes(logPath), testsupport::Utf8(
      L"Document.DocumentFlag = FALSE\n"
      L"Document.SelectByName(\"Pièce\", \"PLANE\", 0, 0.30000000000000004, 10.001) -> FALSE\n"
      L"Document.PartBoundingBox(TRUE) -> [0, 0, 0, 10, 20, 5]\n"
      L"Application.OpenDocumentEx(\"C:\\nulle-part\\x.SLDPRT\", 1, &2) -> null\n"
      L"Application.CloseDocument() -> error 0x8002000E\n"));
  sim.setCallLogLimit(6);
  for (int i = 0; i < 3; ++i) method(doc_.get(), dispid::DocumentKind);
  EXPECT_EQ(sim.callLineCount(), 6u) << "a capped log keeps its first lines";
  sim.clearCallLog();
  sim.setCallLogLimit(0);
  method(doc_.get(), dispid::DocumentKind);
  EXPECT_EQ(sim.callLineCount(), 0u) << "the log is off";
}

// Each kind of planned answer on the nth call only, for each type of result;
// the log shows what each call answered.
TEST_F(HostsimAutomation, PlannedAnswersFailRefuseOrAnswerOddlyOnTheNthCall) {
  Var seven(7);
  sim.failCall(L"SelectByName", 2, L"Plantage simulé");
  sim.failCall(L"Feature.FeatureName");
  sim.refuseCall(L"Document.DocumentPath", 2);
  for (const wchar_t* operation : {L"DocumentKind", L"FirstFeature", L"PartBoundingBox", L"OpenDocumentEx"})
    sim.refuseCall(operation);
  sim.answerOddly(L"DeleteSelection");
  sim.answerOddly(L"FeatureKind");
  sim.answerOddly(L"RebuildModel", 1, &seven.v);
  IDispatch* doc = doc_.get();
  for (int i = 0; i < 3; ++i) method(doc, dispid::SelectByName, args(L"Plan de face", L"PLANE", 0.0, 0.0, 0.0));
  for (DISPID id : {dispid::DocumentPath, dispid::DocumentPath, dispid::DocumentKind, dispid::FirstFeature})
    method(doc, id);
  method(doc, dispid::PartBoundingBox, args(true));
  long error = 0;
  app(dispid::OpenDocumentEx, args(path_, 1, out(error)));
  EXPECT_EQ(error, 1);
  method(doc, dispid::DeleteSelection, args(false));
  Obj feature = objectOf(method(doc, dispid::FirstFeature));
  method(feature.get(), dispid::FeatureKind);
  EXPECT_EQ(get(feature.get(), dispid::FeatureName).description, L"Simulated failure of Feature.FeatureName");
  get(feature.get(), dispid::FeatureName);
  EXPECT_EQ(integerOf(method(doc, dispid::RebuildModel)), 7);
  const auto lines = sim.callLines();
  EXPECT_EQ(std::vector<std::wstring>(lines.begin() + 1, lines.end()), (std::vector<std::wstring>{
      L"Document.SelectByName(\"Plan de face\", \"PLANE\", 0, 0, 0) -> error 0x80020009 \"Plantage simulé\"",
      L"Document.SelectByName(\"Plan de face\", \"PLANE\", 0, 0, 0) -> TRUE",
      L"Document.DocumentPath() -> \"" + path_ + L"\"",
      L"Document.DocumentPath() -> \"\" (refused)",
      L"Document.DocumentKind() -> 0 (refused)",
      L"Document.FirstFeature() -> null (refused)",
      L"Document.PartBoundingBox(TRUE) -> empty (refused)",
      L"Application.OpenDocumentEx(\"" + path_ + L"\", 1, &1) -> null (refused)",
      L"Document.DeleteSelection(FALSE) -> \"odd\" (odd answer)",
      L"Document.FirstFeature() -> object",
      L"Feature.FeatureKind() -> 1 (odd answer)",
      L"Feature.FeatureName() -> error 0x80020009 \"Simulated failure of Feature.FeatureName\"",
      L"Feature.FeatureName() -> \"Plan de dessus\"",
      L"Document.RebuildModel() -> 7 (odd answer)"}));
}

TEST_F(HostsimAutomation, ObjectsOfAClosedDocumentFailEveryCall) {
  Obj set = objectOf(get(doc_.get(), dispid::GetSelectionSet));
  Obj feature = objectOf(method(doc_.get(), dispid::FirstFeature));
  Obj configuration = objectOf(method(doc_.get(), dispid::ActiveConfiguration));
  ASSERT_TRUE(sim.close(L"plaque.SLDPRT"));
  const std::string bytes = ReadFileBytes(path_);
  const std::pair<IDispatch*, DISPID> calls[] = {{doc_.get(), dispid::SaveDocument},
                                                 {set.get(), dispid::SelectedCount},
                                                 {feature.get(), dispid::NextFeature},
                                                 {configuration.get(), dispid::GetRootComponent}};
  for (const auto& call : calls) {
    Outcome outcome = method(call.first, call.second);
    EXPECT_EQ(outcome.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(outcome.description, L"The document was closed");
  }
  EXPECT_EQ(ReadFileBytes(path_), bytes);
  EXPECT_EQ(sim.callLines().back(), L"Configuration.GetRootComponent() -> error 0x80020009 \"The document was closed\"");
  ASSERT_TRUE(sim.open(path_));
  EXPECT_EQ(method(doc_.get(), dispid::DocumentPath).hr, DISP_E_EXCEPTION) << "a new document, not the old one";
}

TEST_F(HostsimAutomation, ReferenceAuditCountsWhatClientsHold) {
  const long base = sim.liveReferences();
  {
    Obj set = objectOf(get(doc_.get(), dispid::GetSelectionSet));
    Obj feature = objectOf(method(doc_.get(), dispid::FirstFeature));
    EXPECT_EQ(sim.liveReferences(), base + 2);
    method(doc_.get(), dispid::ActiveDocument);  // refused: hands nothing out
  }
  EXPECT_EQ(sim.liveReferences(), base);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ASSERT_EQ(doc_.get()->Invoke(dispid::FirstFeature, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(sim.liveReferences(), base) << "a caller that asks for no result gets no reference";
}

}  // namespace
