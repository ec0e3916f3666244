// CompacterPart through the real library, the real save dialog and the
// stand-in host: the exact automation calls, what the user sees, and the
// files on disk.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "PartCommandTest.h"

namespace parttest {
namespace {

using addintest::CallText;
using addintest::FileBytes;
using addintest::FileExists;
using addintest::Quoted;

class CompacterPart : public PartCommandTest {
 protected:
  // The calls of the last run that start with `prefix`.
  std::vector<std::wstring> callsStartingWith(const std::wstring& prefix) {
    std::vector<std::wstring> lines;
    for (const std::wstring& line : host_.calls())
      if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
  }
  std::vector<std::wstring> extrusionCalls() { return callsStartingWith(L"Document.ExtrudeSketch("); }
  std::vector<std::wstring> createLineCalls() { return callsStartingWith(L"Document.CreateLine("); }
  // The calls up to the save dialog, which opens after the kind check.
  std::vector<std::wstring> checksBeforeTheDialog(const std::wstring& source) {
    return {L"Application.ActiveDocument() -> object", L"Document.DocumentPath() -> " + Quoted(source),
            L"Document.DocumentKind() -> 1"};
  }
};

TEST_F(CompacterPart, BoxExampleRunsTheWholeSequence) {
  const std::wstring source = makePart(L"bloc.SLDPRT", L"box:0,0,0,10,20,5");
  const std::wstring destination = folder_.subfolder(L"sortie") + L"bloc.SLDPRT";
  openPart(source);

  compactTo(destination);

  const std::vector<std::wstring> expected = std::vector<std::wstring>{
      L"Application.ActiveDocument() -> object",
      L"Document.DocumentPath() -> " + Quoted(source),
      L"Document.DocumentKind() -> 1",
      L"Document.DocumentFlag = FALSE",
      L"Document.SelectByName(\"BEx_KMTV_Compact001\", \"BODYFEATURE\", 0, 0, 0) -> FALSE",
      L"Document.PartBoundingBox(TRUE) -> [0, 0, 0, 10, 20, 5]",
      L"Document.FirstFeature() -> object",
      L"Feature.FeatureName() -> \"Plan de face\"",
      L"Feature.FeatureKind() -> \"RefPlane\"",
      L"Document.SelectByName(\"Plan de face\", \"PLANE\", 0, 0, 0) -> TRUE",
      L"Document.ToggleSketch()",
      L"Document.ActiveSketch() -> object",
      L"Document.SetSketchDirect(TRUE)",
      L"Document.CreateLine([-0.001, -0.001, 0], [-0.001, 20.001, 0]) -> TRUE",
      L"Document.CreateLine([10.001, -0.001, 0], [10.001, 20.001, 0]) -> TRUE",
      L"Document.CreateLine([-0.001, -0.001, 0], [10.001, -0.001, 0]) -> TRUE",
      L"Document.CreateLine([-0.001, 20.001, 0], [10.001, 20.001, 0]) -> TRUE",
      L"Document.SetSketchDirect(FALSE)",
      L"Document.ToggleSketch()",
      L"Document.GetSelectionSet() -> object",
      L"SelectionSet.SelectedCount() -> 1",
      L"SelectionSet.SelectedObject(1) -> object",
      L"Feature.FeatureName = \"Esq_KMTV_Compact001\"",
      L"Document.ExtrudeSketch(FALSE, TRUE, TRUE, 0, 0, 0.001, 5.001, FALSE, FALSE, TRUE, TRUE, 0, 0, TRUE, TRUE)",
      L"Document.GetSelectionSet() -> object",
      L"SelectionSet.SelectedCount() -> 1",
      L"SelectionSet.SelectedObject(1) -> object",
      L"Feature.FeatureName = \"BEx_KMTV_Compact001\"",
      L"Document.FinishPartEdit()",
      L"Document.SaveToPath(" + Quoted(destination) + L") -> TRUE",
  } + ReopeningCalls(source);
  EXPECT_EQ(CallText(host_.calls()), CallText(expected));
  EXPECT_EQ(messageTexts(), std::vector<std::wstring>{CompactedMessage(folder_.file(L"sortie\\"))});
  EXPECT_EQ(host_.referencesStillHeld(), 0);
}

TEST_F(CompacterPart, SaveDialogProposesThePartsNameWithThePartFilterAndNoOwner) {
  const std::wstring source = makePart(L"bride.SLDPRT", L"box:0,0,0,10,20,5");
  openPart(source);

  compactTo(folder_.file(L"copie.SLDPRT"));

  ASSERT_TRUE(dialogs_.waitForSaveDialogs(1, 5000));
  const testsupport::SaveDialogRecord dialog = dialogs_.saveDialogs().at(0);
  EXPECT_EQ(dialog.initialName, L"bride.SLDPRT");
  EXPECT_FALSE(dialog.hadOwner);
  ASSERT_TRUE(dialog.flagsKnown);
  EXPECT_EQ(dialog.filter, L"Fichiers Pi\u00E8ce (*.SLDPRT)|*.SLDPRT|");
  EXPECT_EQ(dialog.defaultExtension, L"SLDPRT");
  // Only "hide read-only": in particular no overwrite prompt.
  EXPECT_EQ(dialog.flags, static_cast<DWORD>(OFN_HIDEREADONLY));
}

TEST_F(CompacterPart, SourceIsOpenAgainUntouchedAndTheCopyIsSmallWithBothMarkers) {
  const std::wstring marker = L"feature: BEx_KMTV_Compact001 (Extrusion)";
  for (const std::wstring shape : {L"flange", L"shaft", L"housing", L"plate"}) {
    SCOPED_TRACE(testing::PrintToString(shape));
    const std::wstring source = makePart(shape + L".SLDPRT", shape);
    const std::string sourceBytes = FileBytes(source);
    const std::wstring destination = folder_.file(shape + L"_compact.SLDPRT");
    openPart(source);

    compactTo(destination);

    // The source is open again and active, without the envelope; the
    // document that stands for the copy holds it.
    std::vector<std::wstring> open = host_.sim().openDocumentPaths();
    std::sort(open.begin(), open.end());
    EXPECT_EQ(open, (std::vector<std::wstring>{source, destination}));
    EXPECT_EQ(host_.sim().activeDocumentPath(), source);
    const std::vector<std::wstring> reopened = dumpLines(source, L"feature: ");
    EXPECT_EQ(std::find(reopened.begin(), reopened.end(), marker), reopened.end());
    EXPECT_EQ(FileBytes(source), sourceBytes);
    ASSERT_TRUE(FileExists(destination));
    EXPECT_LT(FileBytes(destination).size(), sourceBytes.size());
    // Read from the file, not from the document still open under that path.
    closeAll();
    const std::vector<std::wstring> markers = dumpLines(destination, L"feature: ");
    EXPECT_NE(std::find(markers.begin(), markers.end(), L"feature: Esq_KMTV_Compact001 (ProfileFeature)"), markers.end());
    EXPECT_NE(std::find(markers.begin(), markers.end(), marker), markers.end());
    EXPECT_EQ(host_.referencesStillHeld(), 0);
  }
}

TEST_F(CompacterPart, ExtrusionDepthsAreTheZBoundsByAbsoluteValue) {
  // Below the plane, or wholly above it: the low bound still counts.
  for (const std::wstring low : {L"-4", L"2"}) {
    SCOPED_TRACE(testing::PrintToString(low));
    openPart(makePart(L"bloc" + low + L".SLDPRT", L"box:0,0," + low + L",10,20,5"));
    compactTo(folder_.file(L"bloc" + low + L"_c.SLDPRT"));
    EXPECT_EQ(extrusionCalls(), std::vector<std::wstring>{L"Document.ExtrudeSketch(FALSE, TRUE, TRUE, 0, 0, " +
                                                          low.substr(low[0] == L'-') +
                                                          L".001, 5.001, FALSE, FALSE, TRUE, TRUE, 0, 0, TRUE, TRUE)"});
    closeAll();
  }
}

TEST_F(CompacterPart, BoxWithoutThicknessGetsNoExtentFlag) {
  // A part whose only solid was deleted: the host reports an empty body as
  // the box [0, 0, 0, 0, 0, 0], without thickness along z.
  ASSERT_TRUE(host_.open(makePart(L"vide.SLDPRT", L"box:0,0,0,10,20,5")));
  deleteFeature(L"Bloc1", L"BODYFEATURE");
  host_.startRecording();

  compactTo(folder_.file(L"vide_c.SLDPRT"));

  EXPECT_EQ(extrusionCalls(), std::vector<std::wstring>{L"Document.ExtrudeSketch(FALSE, FALSE, FALSE, 0, 0, 0.001, "
                                                        L"0.001, FALSE, FALSE, TRUE, TRUE, 0, 0, TRUE, TRUE)"});
  EXPECT_EQ(CallText(createLineCalls()), CallText({
                                             L"Document.CreateLine([-0.001, -0.001, 0], [-0.001, 0.001, 0]) -> TRUE",
                                             L"Document.CreateLine([0.001, -0.001, 0], [0.001, 0.001, 0]) -> TRUE",
                                             L"Document.CreateLine([-0.001, -0.001, 0], [0.001, -0.001, 0]) -> TRUE",
                                             L"Document.CreateLine([-0.001, 0.001, 0], [0.001, 0.001, 0]) -> TRUE",
                                         }));
}

TEST_F(CompacterPart, AlreadyCompactedPartIsAnnouncedAndStillSavedUnchanged) {
  const std::wstring source = makePart(L"bloc.SLDPRT", L"box:0,0,0,10,20,5");
  const std::wstring first = folder_.file(L"premier.SLDPRT");
  openCompactedCopyOf(source, first);
  const std::string compactedBytes = FileBytes(first);

  const std::wstring second = folder_.file(L"second.SLDPRT");
  compactTo(second);

  const std::vector<std::wstring> expected = checksBeforeTheDialog(first) + std::vector<std::wstring>{
      L"Document.DocumentFlag = FALSE",
      L"Document.SelectByName(\"BEx_KMTV_Compact001\", \"BODYFEATURE\", 0, 0, 0) -> TRUE",
      L"Document.SaveToPath(" + Quoted(second) + L") -> TRUE",
  } + ReopeningCalls(first);
  EXPECT_EQ(CallText(host_.calls()), CallText(expected));
  const std::vector<std::wstring> shown = messageTexts();
  ASSERT_EQ(shown.size(), 3u);  // the first run's confirmation, then this run's two
  EXPECT_EQ(std::vector<std::wstring>(shown.begin() + 1, shown.end()),
            (std::vector<std::wstring>{kAlreadyCompacted, CompactedMessage(folder_.path())}));
  EXPECT_EQ(FileBytes(first), compactedBytes);
  EXPECT_EQ(host_.referencesStillHeld(), 0);
}

TEST_F(CompacterPart, PartWithOnlyTheMarkerSketchIsNotTakenForCompacted) {
  const std::wstring source = makePart(L"bloc.SLDPRT", L"box:0,0,0,10,20,5");
  openCompactedCopyOf(source, folder_.file(L"premier.SLDPRT"));
  deleteFeature(L"BEx_KMTV_Compact001", L"BODYFEATURE");
  host_.startRecording();

  compactTo(folder_.file(L"second.SLDPRT"));

  const std::vector<std::wstring> calls = host_.calls();
  ASSERT_GE(calls.size(), 6u);
  EXPECT_EQ(calls[4], L"Document.SelectByName(\"BEx_KMTV_Compact001\", \"BODYFEATURE\", 0, 0, 0) -> FALSE");
  EXPECT_EQ(calls[5], L"Document.PartBoundingBox(TRUE) -> [0, 0, 0, 10, 20, 5]");
  EXPECT_EQ(createLineCalls().size(), 4u);
  EXPECT_EQ(extrusionCalls().size(), 1u);
  EXPECT_EQ(messageTexts().back(), CompactedMessage(folder_.path()));
}

TEST_F(CompacterPart, FirstReferencePlaneMetIsTheOneSketchedOn) {
  const std::wstring source = makePart(L"bloc.SLDPRT", L"box:0,0,0,10,20,5");
  ASSERT_TRUE(host_.open(source));
  deleteFeature(L"Plan de face", L"PLANE");
  host_.startRecording();

  compactTo(folder_.file(L"copie.SLDPRT"));

  const std::vector<std::wstring> calls = host_.calls();
  ASSERT_GE(calls.size(), 11u);
  const std::vector<std::wstring> planeSearch(calls.begin() + 6, calls.begin() + 11);
  EXPECT_EQ(CallText(planeSearch), CallText({
                                       L"Document.FirstFeature() -> object",
                                       L"Feature.FeatureName() -> \"Plan de dessus\"",
                                       L"Feature.FeatureKind() -> \"RefPlane\"",
                                       L"Document.SelectByName(\"Plan de dessus\", \"PLANE\", 0, 0, 0) -> TRUE",
                                       L"Document.ToggleSketch()",
                                   }));
}

TEST_F(CompacterPart, PartWithoutReferencePlaneGetsNoEnvelopeButIsStillSaved) {
  const std::wstring source = makePart(L"bloc.SLDPRT", L"box:0,0,0,10,20,5");
  const std::wstring destination = folder_.file(L"copie.SLDPRT");
  ASSERT_TRUE(host_.open(source));
  for (const wchar_t* plane : {L"Plan de face", L"Plan de dessus", L"Plan de droite"}) deleteFeature(plane, L"PLANE");
  host_.startRecording();

  compactTo(destination);

  const std::vector<std::wstring> calls = host_.calls();
  ASSERT_GE(calls.size(), 4u);
  // The features are walked to the end; no plane, so nothing is selected
  // and the host opens no sketch.
  std::vector<std::wstring> tail(calls.end() - 4 - 6, calls.end() - 6);
  EXPECT_EQ(CallText(tail), CallText({
                                L"Document.ToggleSketch()",
                                L"Document.ActiveSketch() -> null",
                                L"Document.SaveToPath(" + Quoted(destination) + L") -> TRUE",
                                L"Application.OpenDocument(" + Quoted(source) + L", 1) -> object",
                            }));
  EXPECT_EQ(createLineCalls().size(), 0u);
  EXPECT_TRUE(extrusionCalls().empty());
  EXPECT_EQ(messageTexts(), (std::vector<std::wstring>{kNoOpenSketch, CompactedMessage(folder_.path())}));
  EXPECT_TRUE(FileExists(destination));
  EXPECT_EQ(host_.referencesStillHeld(), 0);
}

TEST_F(CompacterPart, CancelChangesNothingAndShowsNothing) {
  const std::wstring source = makePart(L"bride.SLDPRT", L"flange");
  const std::string sourceBytes = FileBytes(source);
  openPart(source);
  dialogs_.queueSaveCancel();

  compact();

  EXPECT_EQ(CallText(host_.calls()), CallText(checksBeforeTheDialog(source)));
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_EQ(FileBytes(source), sourceBytes);
  EXPECT_EQ(host_.sim().openDocumentPaths(), std::vector<std::wstring>{source});
  EXPECT_EQ(host_.referencesStillHeld(), 0);
}

TEST_F(CompacterPart, ExistingDestinationOrTheSourceItselfIsRefusedAndNothingIsWritten) {
  const std::wstring source = makePart(L"bride.SLDPRT", L"flange");
  const std::wstring taken = folder_.file(L"occupe.SLDPRT");
  ASSERT_TRUE(hosttest::writeFileBytes(taken, "sentinelle"));
  const std::string sourceBytes = FileBytes(source);
  for (const std::wstring& destination : {taken, source}) {
    SCOPED_TRACE(testing::PrintToString(destination));
    openPart(source);
    const size_t shown = dialogs_.messages().size();

    compactTo(destination);

    EXPECT_EQ(CallText(host_.calls()), CallText(checksBeforeTheDialog(source)));
    ASSERT_EQ(dialogs_.messages().size(), shown + 1);
    EXPECT_EQ(dialogs_.messages().back().text, kDestinationTaken);
    EXPECT_EQ(FileBytes(taken), "sentinelle");
    EXPECT_EQ(FileBytes(source), sourceBytes);
    EXPECT_EQ(host_.referencesStillHeld(), 0);
  }
}

TEST_F(CompacterPart, FileThatCannotBeOpenedUnsharedCountsAsAbsent) {
  const std::wstring source = makePart(L"bloc.SLDPRT", L"box:0,0,0,10,20,5");
  const std::wstring locked = folder_.file(L"verrou.SLDPRT");
  ASSERT_TRUE(hosttest::writeFileBytes(locked, "sentinelle"));
  HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  openPart(source);

  compactTo(locked);
  CloseHandle(holder);

  // The save is attempted; the host reports it failed and the command
  // confirms all the same.
  const std::vector<std::wstring> calls = host_.calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), L"Document.SaveToPath(" + Quoted(locked) + L") -> FALSE"), calls.end());
  EXPECT_EQ(messageTexts(), std::vector<std::wstring>{CompactedMessage(folder_.path())});
  EXPECT_EQ(FileBytes(locked), "sentinelle");
}

TEST_F(CompacterPart, SourceBeyondMaxPathIsProposedAndOpenedAgain) {
  std::wstring folder = folder_.path();
  for (wchar_t letter : {L'a', L'b', L'c', L'd', L'e'}) {
    folder += std::wstring(50, letter) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  }
  const std::wstring source = folder + L"bride.SLDPRT";
  ASSERT_GT(source.size(), static_cast<size_t>(MAX_PATH));
  ASSERT_TRUE(hostsim::writePartFixture(source, L"flange"));
  const std::string sourceBytes = FileBytes(source);
  openPart(source);

  compactTo(folder_.file(L"court.SLDPRT"));

  ASSERT_TRUE(dialogs_.waitForSaveDialogs(1, 5000));
  EXPECT_EQ(dialogs_.saveDialogs().at(0).initialName, L"bride.SLDPRT");
  const std::vector<std::wstring> calls = host_.calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), L"Application.OpenDocument(" + Quoted(source) + L", 1) -> object"),
            calls.end());
  EXPECT_EQ(FileBytes(source), sourceBytes);
  EXPECT_EQ(messageTexts(), std::vector<std::wstring>{CompactedMessage(folder_.path())});
}

}  // namespace
}  // namespace parttest
