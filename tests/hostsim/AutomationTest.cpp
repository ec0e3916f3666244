// What every call meets: the errors of a strict server, planned answers, the
// call log's exact lines, closed documents and the reference audit.
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

class HostsimAutomation : public HostTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.open(path_));
    doc_ = active();
  }
  const std::wstring path_ = part(L"plaque.SLDPRT", L"box:0,0,0,10,20,5");
  ModelDocument doc_;
};

// What a server built from a type library answers without coercion; a point
// is exactly three R8 from index 0 in an array passed by reference.
TEST_F(HostsimAutomation, MalformedCallsGetTheErrorsOfAStrictServer) {
  IDispatch* const application = sim_.application();
  IDispatch* const doc = doc_.Get();
  ArgumentStorage keep;
  auto point = [&](ULONG count, LONG low, VARTYPE byReference) {
    SAFEARRAY** array = keep.KeepArray(SafeArray(SafeArrayCreateVector(VT_R8, low, count)));
    VARIANTARG slot{};
    slot.vt = VT_ARRAY | VT_R8 | byReference;
    if (byReference) slot.pparray = array;
    else slot.parray = *array;
    return slot;
  };
  // Slots in Invoke's order: the second point first.
  VARIANTARG byValue[] = {point(3, 0, 0), point(3, 0, VT_BYREF)};
  VARIANTARG fromOne[] = {point(3, 0, VT_BYREF), point(3, 1, VT_BYREF)};
  VARIANTARG ofTwo[] = {point(3, 0, VT_BYREF), point(2, 0, VT_BYREF)};
  const auto method = InvokeKind::Method;
  long error = -1;
  const struct {
    const char* what;
    Answer answer;
    HRESULT expected;
    UINT position;
  } cases[] = {
      {"unknown dispid", invoke(doc, Operation{L"", 0x10099, method}), DISP_E_MEMBERNOTFOUND, 0},
      {"a get called as a method", invoke(application, Operation{L"", hostops::kActiveDocument.id, method}),
       DISP_E_MEMBERNOTFOUND, 0},
      {"a put called as a method", invoke(doc, Operation{L"", hostops::kDocumentFlag.id, method}, false),
       DISP_E_MEMBERNOTFOUND, 0},
      {"one argument short", invoke(application, hostops::kOpenDocument, path_), DISP_E_BADPARAMCOUNT, 0},
      {"an I4 for a BOOL", invoke(doc, hostops::kDeleteSelection, 0), DISP_E_TYPEMISMATCH, 0},
      {"an I4 for an R8", invoke(doc, hostops::kSelectByName, L"a", L"PLANE", 0.0, 0, 0.0), DISP_E_TYPEMISMATCH, 1},
      {"an error code by value", invoke(application, hostops::kOpenDocumentEx, path_, 1, 0), DISP_E_TYPEMISMATCH, 0},
      {"a point by value", invokeSlots(doc, hostops::kCreateLine, byValue, 2), DISP_E_TYPEMISMATCH, 0},
      {"a point from 1", invokeSlots(doc, hostops::kCreateLine, fromOne, 2), DISP_E_TYPEMISMATCH, 1},
      {"a point of two", invokeSlots(doc, hostops::kCreateLine, ofTwo, 2), DISP_E_TYPEMISMATCH, 1},
      {"an R8 for a point", invoke(doc, hostops::kCreateLine, Point3{0, 0, 0}, 1.0), DISP_E_TYPEMISMATCH, 0},
      {"all well", invoke(application, hostops::kOpenDocumentEx, path_, 1, OutLong{&error}), S_OK, 0},
  };
  for (const auto& c : cases)  // the position of a wrong argument, counted from the last
    EXPECT_EQ(std::make_pair(c.answer.hr, c.answer.badArgument), std::make_pair(c.expected, c.position)) << c.what;
  EXPECT_EQ(error, 0);
  EXPECT_EQ(sim_.callLines()[0], L"Document.[dispid 0x10099]() -> error 0x80020003");
}

// Each planned answer hits the nth call of its operation only, whatever the
// result's type; the log, written as UTF-8, shows what every call answered,
// numbers in the shortest form that reads back the same.
TEST_F(HostsimAutomation, PlannedAnswersHitTheNthCallAndTheLogShowsEveryAnswer) {
  IDispatch* const doc = doc_.Get();
  VARIANT seven{};
  seven.vt = VT_I4;
  seven.lVal = 7;
  sim_.failCall(L"SelectByName", 2, L"Plantage simulé");
  sim_.refuseCall(L"Document.DocumentPath", 2);
  for (const wchar_t* operation : {L"DocumentKind", L"FirstFeature", L"PartBoundingBox", L"OpenDocumentEx"})
    sim_.refuseCall(operation);
  sim_.answerOddly(L"DeleteSelection");
  sim_.answerOddly(L"FeatureKind");
  sim_.answerOddly(L"RebuildModel", 1, &seven);
  invoke(doc, hostops::kDocumentFlag, false);
  invoke(doc, hostops::kSelectByName, L"Pièce", L"PLANE", -0.0, 0.1 + 0.2, 10.001);
  for (int i = 0; i < 2; ++i) invoke(doc, hostops::kSelectByName, L"Plan de face", L"PLANE", 0.0, 0.0, 0.0);
  for (const Operation& op : {hostops::kDocumentPath, hostops::kDocumentPath, hostops::kDocumentKind, hostops::kFirstFeature})
    invoke(doc, op);
  invoke(doc, hostops::kPartBoundingBox, true);
  long error = 0;
  invoke(sim_.application(), hostops::kOpenDocumentEx, path_, 1, OutLong{&error});
  EXPECT_EQ(error, 1);
  invoke(doc, hostops::kDeleteSelection, false);
  const Feature feature = on<PartDocument>(doc).FirstFeature();
  invoke(feature.Get(), hostops::kFeatureKind);
  invoke(feature.Get(), hostops::kGetFeatureName);
  EXPECT_EQ(invoke(doc, hostops::kRebuildModel).text(), L"7");
  const std::wstring lines =
      L"Document.DocumentFlag = FALSE\n"
      L"Document.SelectByName(\"Pièce\", \"PLANE\", 0, 0.30000000000000004, 10.001) -> FALSE\n"
      L"Document.SelectByName(\"Plan de face\", \"PLANE\", 0, 0, 0) -> error 0x80020009 \"Plantage simulé\"\n"
      L"Document.SelectByName(\"Plan de face\", \"PLANE\", 0, 0, 0) -> TRUE\n"
      L"Document.DocumentPath() -> \"" + path_ + L"\"\n"
      L"Document.DocumentPath() -> \"\" (refused)\n"
      L"Document.DocumentKind() -> 0 (refused)\n"
      L"Document.FirstFeature() -> null (refused)\n"
      L"Document.PartBoundingBox(TRUE) -> empty (refused)\n"
      L"Application.OpenDocumentEx(\"" + path_ + L"\", 1, &1) -> null (refused)\n"
      L"Document.DeleteSelection(FALSE) -> \"odd\" (odd answer)\n"
      L"Document.FirstFeature() -> object\n"
      L"Feature.FeatureKind() -> 1 (odd answer)\n"
      L"Feature.FeatureName() -> \"Plan de dessus\"\n"  // the odd DeleteSelection was done
      L"Document.RebuildModel() -> 7 (odd answer)\n";
  ASSERT_TRUE(sim_.writeCallLog(folder_.file(L"calls.log")));
  EXPECT_EQ(ReadFileBytes(folder_.file(L"calls.log")), Utf8(lines));

  sim_.setCallLogLimit(16);
  for (int i = 0; i < 3; ++i) invoke(doc, hostops::kDocumentKind);
  EXPECT_EQ(sim_.callLineCount(), 16u) << "a capped log keeps its first lines";
  sim_.clearCallLog();
  sim_.setCallLogLimit(0);
  invoke(doc, hostops::kDocumentKind);
  EXPECT_EQ(sim_.callLineCount(), 0u) << "the log is off";
}

// The audit counts the references clients hold; once the document is closed
// its objects, and those taken before, fail every call and change nothing.
TEST_F(HostsimAutomation, ReferencesAreCountedAndObjectsOfAClosedDocumentFailEveryCall) {
  const long base = sim_.liveReferences();
  DISPPARAMS none{};
  ASSERT_EQ(doc_.Get()->Invoke(hostops::kFirstFeature.id, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(sim_.liveReferences(), base) << "a caller that asks for no result gets no reference";
  const SelectionSet set = doc_.GetSelectionSet();
  const Feature feature = on<PartDocument>(doc_.Get()).FirstFeature();
  const Configuration configuration = doc_.ActiveConfiguration();
  EXPECT_EQ(sim_.liveReferences(), base + 3);
  ASSERT_TRUE(sim_.close(L"plaque.SLDPRT"));
  const std::string bytes = ReadFileBytes(path_);
  const Answer answers[] = {invoke(doc_.Get(), hostops::kSaveDocument), invoke(set.Get(), hostops::kSelectedCount),
                            invoke(feature.Get(), hostops::kNextFeature),
                            invoke(configuration.Get(), hostops::kGetRootComponent)};
  for (const Answer& answer : answers) EXPECT_EQ(answer.description, L"The document was closed") << std::hex << answer.hr;
  EXPECT_EQ(ReadFileBytes(path_), bytes);
  EXPECT_EQ(sim_.callLines().back(), L"Configuration.GetRootComponent() -> error 0x80020009 \"The document was closed\"");
  ASSERT_TRUE(sim_.open(path_));
  EXPECT_EQ(invoke(doc_.Get(), hostops::kDocumentPath).hr, DISP_E_EXCEPTION) << "a new document, not the old one";
}

}  // namespace
