// BuildEnvelope against a scripted host, for the answers the simulator never
// gives: a refused line, a kind text that differs from "RefPlane" only in
// case, a selection that does not hold exactly one object, and a box answer
// that is not six numbers.
#include <windows.h>

#include <gtest/gtest.h>

#include "../host/ScriptedDispatch.h"
#include "DialogResponderGTest.h"
#include "host/HostCallError.h"
#include "part/Envelope.h"

namespace {

const std::wstring kLineRefused = L"Une Erreur est apparue lors de la cr\u00E9ation d'une ligne.";

// Dispatch identifiers of the calls checked below.
constexpr DISPID kSelectByName = 0x100AC, kCreateLine = 0x1000C, kExtrudeSketch = 9, kFinishPartEdit = 17,
                 kSelectedCount = 1, kSelectedObject = 12, kFeatureName = 1;

VARIANT Nothing() {
  VARIANT v;
  VariantInit(&v);
  return v;
}

// A box answer: a one-dimensional array of `count` doubles from index 0.
VARIANT BoxArray(std::initializer_list<double> values) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), 0};
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_R8;
  v.parray = SafeArrayCreate(VT_R8, 1, &bound);
  LONG i = 0;
  for (double value : values) SafeArrayPutElement(v.parray, &i, &value), ++i;
  return v;
}

std::wstring TextArgument(const RecordedCall& call, size_t index) {
  const VARIANT& v = call.arguments.at(index);
  return v.vt == VT_BSTR ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : L"(not text)";
}

class EnvelopeScriptedHost : public testing::Test {
 protected:
  void answerNothing(ScriptedDispatch& object, int calls = 1) {
    for (int i = 0; i < calls; ++i) {
      VARIANT none = Nothing();
      object.AnswerWith(none);
    }
  }
  int build() { return BuildEnvelope(&document_, ModelDocument(DispatchDriver::Borrow(&document_)), 1); }
  std::vector<std::wstring> messageTexts() const { return dialogs_.messageTexts(); }

  ScriptedDispatch document_;
  testsupport::CheckedDialogResponder dialogs_;
};

TEST_F(EnvelopeScriptedHost, RefusedLinesAnotherCaseOfKindAndASelectionOfTwo) {
  ScriptedDispatch decoy, plane, sketch, firstSelection, secondSelection, extrusion;
  document_.AnswerBool(false);  // no marker extrusion
  VARIANT box = BoxArray({0, 0, 0, 10, 20, 5});
  document_.AnswerWith(box);
  VariantClear(&box);
  document_.AnswerObject(&decoy);  // FirstFeature
  decoy.AnswerText(L"Plan d\u00E9coy");
  decoy.AnswerText(L"refplane");  // not "RefPlane": not counted
  decoy.AnswerObject(&plane);     // NextFeature
  plane.AnswerText(L"Plan de face");
  plane.AnswerText(L"RefPlane");
  document_.AnswerBool(true);  // SelectByName of the plane
  answerNothing(document_);    // ToggleSketch
  document_.AnswerObject(&sketch);
  answerNothing(document_);  // SetSketchDirect(TRUE)
  for (bool made : {true, false, true, false}) document_.AnswerBool(made);
  answerNothing(document_, 2);  // SetSketchDirect(FALSE), ToggleSketch
  document_.AnswerObject(&firstSelection);
  firstSelection.AnswerLong(2);  // two objects selected: the sketch keeps its name
  answerNothing(document_);      // ExtrudeSketch
  document_.AnswerObject(&secondSelection);
  secondSelection.AnswerLong(1);
  secondSelection.AnswerObject(&extrusion);
  answerNothing(extrusion);  // FeatureName put
  answerNothing(document_);  // FinishPartEdit

  EXPECT_EQ(build(), 1);

  // One message per refused line; the rest went on.
  EXPECT_EQ(messageTexts(), (std::vector<std::wstring>{kLineRefused, kLineRefused}));
  const auto& calls = document_.calls();
  ASSERT_EQ(calls.size(), 17u);
  EXPECT_EQ(calls[3].id, kSelectByName);
  EXPECT_EQ(TextArgument(calls[3], 0), L"Plan de face");
  EXPECT_EQ(TextArgument(calls[3], 1), L"PLANE");
  for (size_t i = 7; i < 11; ++i) EXPECT_EQ(calls[i].id, kCreateLine);
  EXPECT_EQ(calls[14].id, kExtrudeSketch);
  EXPECT_EQ(calls[16].id, kFinishPartEdit);
  ASSERT_EQ(firstSelection.calls().size(), 1u);
  EXPECT_EQ(firstSelection.calls()[0].id, kSelectedCount);
  ASSERT_EQ(secondSelection.calls().size(), 2u);
  EXPECT_EQ(secondSelection.calls()[1].id, kSelectedObject);
  ASSERT_EQ(extrusion.calls().size(), 1u);
  EXPECT_EQ(extrusion.calls()[0].id, kFeatureName);
  EXPECT_EQ(extrusion.calls()[0].flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(TextArgument(extrusion.calls()[0], 0), L"BEx_KMTV_Compact001");
  // Every reference the routine took was given back (1: the test's own).
  for (const ScriptedDispatch* object : {&document_, &decoy, &plane, &sketch, &firstSelection, &secondSelection, &extrusion})
    EXPECT_EQ(object->references(), 1);
}

TEST_F(EnvelopeScriptedHost, BoxAnswerThatIsNotSixNumbersEndsLikeAFailedCall) {
  VARIANT shortArray = BoxArray({0, 0, 0, 10}), number = Nothing();
  number.vt = VT_I4;
  number.lVal = 6;
  for (VARIANT* answer : {&shortArray, &number}) {
    ScriptedDispatch document;
    document.AnswerBool(false);  // no marker extrusion
    document.AnswerWith(*answer);
    try {
      BuildEnvelope(&document, ModelDocument(DispatchDriver::Borrow(&document)), 1);
      ADD_FAILURE() << "no error";
    } catch (const HostCallError& error) {
      EXPECT_EQ(error.operation(), L"PartBoundingBox");
    }
    EXPECT_EQ(document.calls().size(), 2u);
    EXPECT_EQ(document.references(), 1);
    VariantClear(answer);
  }
}

}  // namespace
