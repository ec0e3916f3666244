// BuildEnvelope and RemoveEnvelope called directly, as the assembly commands
// call them for every part they copy or restore: their results, the
// announcement switch, and the references they give back.
#include <windows.h>

#include <gtest/gtest.h>

#include "AddinHarness.h"
#include "DialogResponderGTest.h"
#include "HostTestSupport.h"
#include "Simulator.h"
#include "host/HostCallError.h"
#include "part/Envelope.h"

namespace {

using addintest::CallText;

const std::wstring kAlreadyCompacted = L"Le fichier est d\u00E9j\u00E0 compact\u00E9 !...";
const std::wstring kNoOpenSketch = L"Il n'y \u00E0 pas d'esquisse ouverte...";

class EnvelopeRoutines : public testing::Test {
 protected:
  void SetUp() override {
    const std::wstring path = folder_.file(L"bloc.SLDPRT");
    ASSERT_TRUE(hostsim::writePartFixture(path, L"box:0,0,0,10,20,5"));
    ASSERT_TRUE(sim_.open(path));
    document_ = hosttest::Obj(sim_.activeDocumentObject());
    ASSERT_TRUE(document_);
    sim_.clearCallLog();
    baseline_ = sim_.liveReferences();
  }

  // The model reference is handed over: the routine owns that copy.
  int build(int announce) {
    return BuildEnvelope(document_.get(), ModelDocument(DispatchDriver::Borrow(document_.get())), announce);
  }
  BOOL remove() { return RemoveEnvelope(document_.get(), ModelDocument(DispatchDriver::Borrow(document_.get()))); }

  long referencesStillHeld() const { return sim_.liveReferences() - baseline_; }
  std::vector<std::wstring> messageTexts() const { return dialogs_.messageTexts(); }
  void deletePlanes() {
    using namespace hosttest;
    for (const wchar_t* plane : {L"Plan de face", L"Plan de dessus", L"Plan de droite"}) {
      ASSERT_TRUE(booleanOf(method(document_.get(), dispid::SelectByName,
                                   args(text(plane), text(L"PLANE"), r8(0), r8(0), r8(0)))));
      method(document_.get(), dispid::DeleteSelection, args(flag(false)));
    }
    sim_.clearCallLog();
  }

  hosttest::TempFolder folder_;
  hostsim::Simulator sim_;
  hosttest::Obj document_;
  long baseline_ = 0;
  testsupport::CheckedDialogResponder dialogs_;
};

TEST_F(EnvelopeRoutines, BuildAnswersOneThenRefusesTheCompactedPartAnnouncedOnlyWhenAsked) {
  EXPECT_EQ(build(1), 1);
  EXPECT_EQ(referencesStillHeld(), 0);
  EXPECT_TRUE(messageTexts().empty());
  sim_.clearCallLog();

  EXPECT_EQ(build(0), 0);
  EXPECT_EQ(CallText(sim_.callLines()),
            CallText({L"Document.SelectByName(\"BEx_KMTV_Compact001\", \"BODYFEATURE\", 0, 0, 0) -> TRUE"}));
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_EQ(referencesStillHeld(), 0);

  EXPECT_EQ(build(1), 0);
  EXPECT_EQ(messageTexts(), std::vector<std::wstring>{kAlreadyCompacted});
}

TEST_F(EnvelopeRoutines, NoSketchStillAnswersOne) {
  deletePlanes();
  EXPECT_EQ(build(0), 1);
  EXPECT_EQ(messageTexts(), std::vector<std::wstring>{kNoOpenSketch});
  EXPECT_EQ(referencesStillHeld(), 0);
}

TEST_F(EnvelopeRoutines, RemoveAnswersWhetherBothMarkersWentAway) {
  ASSERT_EQ(build(0), 1);
  EXPECT_EQ(remove(), TRUE);
  EXPECT_EQ(remove(), FALSE);
  EXPECT_EQ(referencesStillHeld(), 0);
  EXPECT_TRUE(messageTexts().empty());
}

TEST_F(EnvelopeRoutines, RemoveAnswersFalseWhenOnlyTheSketchIsMissing) {
  ASSERT_EQ(build(0), 1);
  {
    using namespace hosttest;
    ASSERT_TRUE(booleanOf(method(document_.get(), dispid::SelectByName,
                                 args(text(L"Esq_KMTV_Compact001"), text(L"SKETCH"), r8(0), r8(0), r8(0)))));
    Obj selection = objectOf(get(document_.get(), dispid::GetSelectionSet));
    Obj sketch = objectOf(method(selection.get(), dispid::SelectedObject, args(i4(1))));
    ASSERT_EQ(put(sketch.get(), dispid::FeatureName, text(L"Autre esquisse")).hr, S_OK);
  }
  sim_.clearCallLog();

  EXPECT_EQ(remove(), FALSE);

  const std::vector<std::wstring> calls = sim_.callLines();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1], L"Document.DeleteSelection(FALSE) -> TRUE");
  EXPECT_EQ(referencesStillHeld(), 0);
}

TEST_F(EnvelopeRoutines, BuildGivesBackItsReferencesWhenTheHostFails) {
  sim_.failCall(L"Document.CreateLine", 3, L"Panne");
  EXPECT_THROW(build(0), HostCallError);
  EXPECT_EQ(referencesStillHeld(), 0);
}

TEST_F(EnvelopeRoutines, RemoveGivesBackItsReferencesWhenTheHostFails) {
  ASSERT_EQ(build(0), 1);
  sim_.failCall(L"Document.DeleteSelection", 2, L"Panne");
  EXPECT_THROW(remove(), HostCallError);
  EXPECT_EQ(referencesStillHeld(), 0);
}

}  // namespace
