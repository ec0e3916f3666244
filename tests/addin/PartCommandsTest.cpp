// The part commands through the real library, the real save dialog and the
// host simulator: the exact automation calls, what the user sees, and the
// files on disk.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <functional>

#include "addin/AddinTest.h"

namespace addintest {
namespace {

using testsupport::ReadFileBytes;

const std::wstring kNoActiveDocument = L"Pas de Document Courant !...";
const std::wstring kDestinationTaken = L"Le pi\u00E8ce existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible.";
const std::wstring kAlreadyCompacted = L"Le fichier est d\u00E9j\u00E0 compact\u00E9 !...";
const std::wstring kNoOpenSketch = L"Il n'y \u00E0 pas d'esquisse ouverte...";
const std::wstring kSketchMarker = L"feature: Esq_KMTV_Compact001 (ProfileFeature)";
const std::wstring kExtrusionMarker = L"feature: BEx_KMTV_Compact001 (Extrusion)";

std::wstring Compacted(const std::wstring& folder) {
  return L"Fichier compact\u00E9 avec succ\u00E8s dans le dossier\n" + folder;
}

// What the host's "opened" and "activated" events make the add-in ask, once
// its menus are in.
const std::vector<std::wstring> kMenuPasses = {
    L"Application.GetMenuFrame() -> object", L"Application.ActiveDocument() -> object", L"Document.DocumentKind() -> 1",
    L"Application.GetMenuFrame() -> object", L"Application.ActiveDocument() -> object", L"Document.DocumentKind() -> 1",
};

bool Has(const std::vector<std::wstring>& lines, const std::wstring& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class PartCommands : public AddinTest {
 protected:
  // Compacts source into copy, then leaves only the copy open, recording.
  void OpenCompactedCopy(const std::wstring& source, const std::wstring& copy) {
    Open(source);
    Run(L"CompacterPart", {copy});
    CloseAll();
    Open(copy);
  }
};

TEST_F(PartCommands, CompactsTheBoxExampleCallByCallAndNeverWritesTheSource) {
  const std::wstring source = Part(L"bloc.SLDPRT");
  const std::string sourceBytes = ReadFileBytes(source);
  const std::wstring destination = folder.subfolder(L"sortie") + L"bloc.SLDPRT";
  Open(source);

  Run(L"CompacterPart", {destination});

  EXPECT_EQ(Lines(Calls()), Lines(std::vector<std::wstring>{
      L"Application.ActiveDocument() -> object",
      L"Document.DocumentPath() -> " + Q(source),
      L"Document.DocumentKind() -> 1",
      L"Document.DocumentFlag = FALSE",
      // What the part holds before the envelope, to put it back by if need be.
      L"Document.FirstFeature() -> object", L"Feature.FeatureName() -> \"Plan de face\"",
      L"Feature.NextFeature() -> object", L"Feature.FeatureName() -> \"Plan de dessus\"",
      L"Feature.NextFeature() -> object", L"Feature.FeatureName() -> \"Plan de droite\"",
      L"Feature.NextFeature() -> object", L"Feature.FeatureName() -> \"Bloc1\"", L"Feature.NextFeature() -> null",
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
      L"Document.SaveToPath(" + Q(destination) + L") -> TRUE",
      L"Document.DocumentPath() -> " + Q(destination),
      L"Application.OpenDocument(" + Q(source) + L", 1) -> object",
  } + kMenuPasses));
  EXPECT_EQ(Messages(), std::vector<std::wstring>{Compacted(folder.path() + L"sortie\\")});
  EXPECT_EQ(ReferencesHeld(), 0);

  // The save dialog: the part's own name proposed, the part filter, no
  // owner, no overwrite prompt.
  ASSERT_EQ(SaveDialogs().size(), 1u);
  const hostsim::SaveDialogRecord dialog = SaveDialogs()[0];
  EXPECT_EQ(dialog.initialName, L"bloc.SLDPRT");
  EXPECT_FALSE(dialog.hadOwner);
  ASSERT_TRUE(dialog.flagsKnown);
  EXPECT_EQ(dialog.filter, L"Fichiers Pi\u00E8ce (*.SLDPRT)|*.SLDPRT|");
  EXPECT_EQ(dialog.defaultExtension, L"SLDPRT");
  EXPECT_EQ(dialog.flags, static_cast<DWORD>(OFN_HIDEREADONLY));

  // The source is open again, active and without the envelope; the copy,
  // read from its file, has both markers and one box for a body.
  EXPECT_EQ(Sim().activeDocumentPath(), source);
  EXPECT_FALSE(Has(Dump(source, L"feature: "), kExtrusionMarker));
  CloseAll();
  EXPECT_EQ(ReadFileBytes(source), sourceBytes);
  EXPECT_TRUE(Has(Dump(destination, L"feature: "), kSketchMarker));
  EXPECT_TRUE(Has(Dump(destination, L"feature: "), kExtrusionMarker));
  EXPECT_EQ(Dump(destination, L"body: "), std::vector<std::wstring>{L"body: 12 triangles"});
}

// The envelope's geometry: the rectangle 0.001 past the box, the extrusion's
// depths the z bounds by absolute value, no extent flag without thickness.
TEST_F(PartCommands, EnvelopeFollowsTheBoxOnEveryAxis) {
  struct Case {
    const wchar_t* shape;
    const wchar_t* lines;  // the first CreateLine
    const wchar_t* extrusion;
  };
  const Case cases[] = {
      {L"box:0,0,-4,10,20,5", L"[-0.001, -0.001, 0], [-0.001, 20.001, 0]",
       L"FALSE, TRUE, TRUE, 0, 0, 4.001, 5.001, FALSE, FALSE, TRUE, TRUE, 0, 0, TRUE, TRUE"},
      {L"box:-3,2,2,10,20,5", L"[-3.001, 1.999, 0], [-3.001, 20.001, 0]",
       L"FALSE, TRUE, TRUE, 0, 0, 2.001, 5.001, FALSE, FALSE, TRUE, TRUE, 0, 0, TRUE, TRUE"},
      // Its only solid deleted, a part reports the box of an empty body.
      {L"", L"[-0.001, -0.001, 0], [-0.001, 0.001, 0]",
       L"FALSE, FALSE, FALSE, 0, 0, 0.001, 0.001, FALSE, FALSE, TRUE, TRUE, 0, 0, TRUE, TRUE"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testsupport::Utf8(c.shape));
    Open(Part(L"p" + std::to_wstring(++n) + L".SLDPRT", *c.shape ? c.shape : L"box:0,0,0,10,20,5"));
    if (!*c.shape) {
      DeleteFeature(L"Bloc1", L"BODYFEATURE");
      Record();
    }
    Run(L"CompacterPart", {folder.file(L"c" + std::to_wstring(n) + L".SLDPRT")});
    ASSERT_EQ(CallsTo(L"Document.CreateLine(").size(), 4u);
    EXPECT_EQ(CallsTo(L"Document.CreateLine(")[0], L"Document.CreateLine(" + std::wstring(c.lines) + L") -> TRUE");
    EXPECT_EQ(CallsTo(L"Document.ExtrudeSketch("),
              std::vector<std::wstring>{L"Document.ExtrudeSketch(" + std::wstring(c.extrusion) + L")"});
    CloseAll();
  }
}

// Nothing is ever written over an existing file: not another file, not the
// source itself (which the host holds open), not a name typed without its
// extension. A cancelled dialog changes nothing either.
TEST_F(PartCommands, DestinationsThatAreTakenAreRefusedAndCancelChangesNothing) {
  const std::wstring source = Part(L"bride.SLDPRT", L"flange");
  const std::string sourceBytes = ReadFileBytes(source);
  const std::wstring taken = folder.file(L"occupe.SLDPRT");
  ASSERT_TRUE(testsupport::WriteFileBytes(taken, "sentinelle"));
  const std::wstring locked = folder.file(L"verrou.SLDPRT");
  ASSERT_TRUE(testsupport::WriteFileBytes(locked, "sentinelle"));
  HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const std::vector<std::wstring> checks = {L"Application.ActiveDocument() -> object",
                                            L"Document.DocumentPath() -> " + Q(source), L"Document.DocumentKind() -> 1"};
  struct Case {
    std::wstring answer;
    std::vector<std::wstring> messages;
  };
  const Case cases[] = {
      {taken, {kDestinationTaken}},
      {source, {kDestinationTaken}},
      {folder.file(L"OCCUPE"), {kDestinationTaken}},  // the dialog adds the extension first
      {locked, {kDestinationTaken}},                   // held by another program: still there
      {L"cancel", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testsupport::Utf8(c.answer));
    const size_t shown = Messages().size();
    Open(source);

    Run(L"CompacterPart", {c.answer});

    EXPECT_EQ(Lines(Calls()), Lines(checks));
    EXPECT_EQ(LastMessages(Messages().size() - shown), c.messages);
    EXPECT_EQ(ReferencesHeld(), 0);
    CloseAll();
    EXPECT_EQ(ReadFileBytes(source), sourceBytes);
    EXPECT_EQ(ReadFileBytes(taken), "sentinelle");
  }
  CloseHandle(holder);
  EXPECT_EQ(ReadFileBytes(locked), "sentinelle");
}

// When the host does not write the copy, or says it did while the part
// still stands for the source, the user is told so (not "success"), and the
// open part is put back as it was: a later save cannot write into the
// source anything the command added, and a user's own envelope stays.
TEST_F(PartCommands, ACopyTheHostDidNotWriteIsToldAndLeavesThePartAsItWas) {
  const std::wstring source = Part(L"bloc.SLDPRT"), compacted = folder.file(L"deja.SLDPRT");
  Open(source);
  Run(L"CompacterPart", {compacted});
  CloseAll();
  const std::wstring nowhere = folder.file(L"absent\\bloc.SLDPRT");  // a folder that does not exist
  const VARIANT yes = True();
  const struct {
    const char* what;
    std::wstring part;
    std::function<void()> plan;
    std::vector<std::wstring> before;
  } cases[] = {
      {"refused", source, [] {}, {}},
      {"TRUE, still the source", source, [&] { Sim().answerOddly(L"SaveToPath", 1, &yes); }, {}},
      {"extrusion left unnamed", source, [] { Sim().refuseCall(L"SelectedCount", 2); }, {}},
      {"already compacted", compacted, [] {}, {kAlreadyCompacted}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Open(c.part);
    const std::vector<std::wstring> features = Dump(c.part, L"feature: ");
    c.plan();
    const size_t shown = Messages().size();

    Run(L"CompacterPart", {nowhere});

    EXPECT_EQ(LastMessages(Messages().size() - shown),
              c.before + std::vector<std::wstring>{L"Le fichier compact\u00E9 n'a pas pu \u00EAtre enregistr\u00E9 :\n" + nowhere +
                                                   L"\nLa pi\u00E8ce ouverte est rest\u00E9e telle qu'elle \u00E9tait."});
    EXPECT_EQ(Sim().openDocumentPaths(), std::vector<std::wstring>{c.part});
    EXPECT_EQ(Dump(c.part, L"feature: "), features);
    EXPECT_EQ(ReferencesHeld(), 0);
    CloseAll();
  }
}

// What the envelope step meets in the part changes the envelope, never the
// save, the reopening and the confirmation.
TEST_F(PartCommands, PartsTheEnvelopeStepTreatsApartAreStillSavedAndConfirmed) {
  const std::wstring source = Part(L"bloc.SLDPRT");

  // Already compacted: announced, saved unchanged.
  const std::wstring first = folder.file(L"premier.SLDPRT");
  OpenCompactedCopy(source, first);
  Run(L"CompacterPart", {folder.file(L"second.SLDPRT")});
  EXPECT_TRUE(Has(Calls(), L"Document.SelectByName(\"BEx_KMTV_Compact001\", \"BODYFEATURE\", 0, 0, 0) -> TRUE"));
  EXPECT_TRUE(CallsTo(L"Document.PartBoundingBox").empty());
  EXPECT_EQ(Messages().back(), Compacted(folder.path()));
  EXPECT_EQ(Messages()[Messages().size() - 2], kAlreadyCompacted);
  CloseAll();

  // Only the marker sketch left (its extrusion deleted by hand): not
  // compacted, a new envelope is built.
  Open(first);
  DeleteFeature(L"BEx_KMTV_Compact001", L"BODYFEATURE");
  Record();
  Run(L"CompacterPart", {folder.file(L"troisieme.SLDPRT")});
  EXPECT_EQ(CallsTo(L"Document.ExtrudeSketch(").size(), 1u);
  CloseAll();

  // The first reference plane met is the one sketched on.
  Open(source);
  DeleteFeature(L"Plan de face", L"PLANE");
  Record();
  Run(L"CompacterPart", {folder.file(L"quatrieme.SLDPRT")});
  EXPECT_TRUE(Has(Calls(), L"Document.SelectByName(\"Plan de dessus\", \"PLANE\", 0, 0, 0) -> TRUE"));
  CloseAll();

  // No plane at all: no sketch opens, the part is saved without an envelope.
  Open(source);
  for (const wchar_t* plane : {L"Plan de face", L"Plan de dessus", L"Plan de droite"}) DeleteFeature(plane, L"PLANE");
  Record();
  const std::wstring bare = folder.file(L"cinquieme.SLDPRT");
  Run(L"CompacterPart", {bare});
  EXPECT_TRUE(Has(Calls(), L"Document.ActiveSketch() -> null"));
  EXPECT_TRUE(CallsTo(L"Document.CreateLine(").empty());
  EXPECT_EQ(LastMessages(2), (std::vector<std::wstring>{kNoOpenSketch, L"Fichier enregistr\u00E9 dans le dossier\n" + folder.path() +
                                                                          L"\nmais l'enveloppe n'a pas pu \u00EAtre compl\u00E9t\u00E9e."}));
  EXPECT_TRUE(testsupport::FileExists(bare));
  EXPECT_EQ(ReferencesHeld(), 0);
}

TEST_F(PartCommands, DecompactionDeletesTheExtrusionFirstAndTheSketchOnlyAfterIt) {
  const std::wstring source = Part(L"bloc.SLDPRT");
  const std::wstring copy = folder.file(L"copie.SLDPRT");
  const std::vector<std::wstring> start = {L"Application.ActiveDocument() -> object", L"Document.DocumentKind() -> 1"};
  const std::wstring selectExtrusion = L"Document.SelectByName(\"BEx_KMTV_Compact001\", \"BODYFEATURE\", 0, 0, 0) -> ";
  const std::wstring selectSketch = L"Document.SelectByName(\"Esq_KMTV_Compact001\", \"SKETCH\", 0, 0, 0) -> ";

  // Both markers: both deleted, the edit finished, the model rebuilt; the
  // second run finds nothing and only rebuilds.
  OpenCompactedCopy(source, copy);
  Run(L"DeCompacterPart");
  EXPECT_EQ(Lines(Calls()), Lines(start + std::vector<std::wstring>{
                                selectExtrusion + L"TRUE", L"Document.DeleteSelection(FALSE) -> TRUE",
                                selectSketch + L"TRUE", L"Document.DeleteSelection(FALSE) -> TRUE",
                                L"Document.FinishPartEdit()", L"Document.RebuildModel()"}));
  Record();
  Run(L"DeCompacterPart");
  EXPECT_EQ(Lines(Calls()), Lines(start + std::vector<std::wstring>{selectExtrusion + L"FALSE", L"Document.RebuildModel()"}));
  CloseAll();

  // The sketch alone is kept: it is looked for only after the extrusion.
  Open(copy);
  DeleteFeature(L"BEx_KMTV_Compact001", L"BODYFEATURE");
  Record();
  Run(L"DeCompacterPart");
  EXPECT_TRUE(Has(Dump(copy, L"feature: "), kSketchMarker));
  CloseAll();

  // An extrusion whose sketch lost its name: deleted, the edit not finished.
  Open(copy);
  ActiveDocument().SelectByName(L"Esq_KMTV_Compact001", L"SKETCH", 0, 0, 0);
  ActiveDocument().GetSelectionSet().SelectedObject(1).SetFeatureName(L"Esquisse perso");
  Record();
  Run(L"DeCompacterPart");
  EXPECT_EQ(Lines(Calls()), Lines(start + std::vector<std::wstring>{
                                selectExtrusion + L"TRUE", L"Document.DeleteSelection(FALSE) -> TRUE",
                                selectSketch + L"FALSE", L"Document.RebuildModel()"}));
  EXPECT_TRUE(Messages().size() == 1) << "only the compaction's confirmation";
  EXPECT_EQ(ReferencesHeld(), 0);
}

TEST_F(PartCommands, WithoutAPartTheCommandsSayOnlyThatThereIsNoDocument) {
  for (const wchar_t* command : {L"CompacterPart", L"DeCompacterPart"}) Run(command);
  EXPECT_EQ(Messages(), (std::vector<std::wstring>{kNoActiveDocument, kNoActiveDocument}));

  Open(Assembly(L"ensemble.SLDASM", {Part(L"p.SLDPRT")}));
  for (const wchar_t* command : {L"CompacterPart", L"DeCompacterPart"}) Run(command);
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_TRUE(CallsTo(L"Document.DocumentFlag").empty());
  EXPECT_TRUE(SaveDialogs().empty());
  EXPECT_EQ(ReferencesHeld(), 0);
}

TEST_F(PartCommands, ASourceBeyondMaxPathIsProposedAndOpenedAgain) {
  std::wstring deep = folder.path();
  for (wchar_t letter : {L'a', L'b', L'c', L'd', L'e'}) {
    deep += std::wstring(50, letter) + L"\\";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << GetLastError() << " " << testsupport::Utf8(deep);
  }
  const std::wstring source = Part(deep + L"bride.SLDPRT");
  ASSERT_GT(source.size(), static_cast<size_t>(MAX_PATH));
  Open(source);

  Run(L"CompacterPart", {folder.file(L"court.SLDPRT")});

  EXPECT_EQ(SaveDialogs().at(0).initialName, L"bride.SLDPRT");
  EXPECT_TRUE(Has(Calls(), L"Application.OpenDocument(" + Q(source) + L", 1) -> object"));
  EXPECT_EQ(Messages(), std::vector<std::wstring>{Compacted(folder.path())});
}

// A part never saved has no path: the dialog proposes no name, the copy is
// saved all the same, and the reopening (of nothing) is answered null.
TEST_F(PartCommands, APartNeverSavedIsCompactedToTheChosenPath) {
  ASSERT_TRUE(Sim().newDocument(L"box:0,0,0,10,20,5"));
  Record();
  const std::wstring copy = folder.file(L"nouvelle.SLDPRT");

  Run(L"CompacterPart", {copy});

  EXPECT_EQ(SaveDialogs().at(0).initialName, L"");
  EXPECT_TRUE(Has(Calls(), L"Document.SaveToPath(" + Q(copy) + L") -> TRUE"));
  EXPECT_TRUE(Has(Calls(), L"Application.OpenDocument(\"\", 1) -> null"));
  EXPECT_EQ(Messages(), std::vector<std::wstring>{Compacted(folder.path())});
  CloseAll();
  EXPECT_EQ(Dump(copy, kExtrusionMarker).size(), 1u);
}

// A host call that fails at the dispatch level, at every step of both
// commands: the command stops there, with one message, every reference given
// back and the source untouched. From the compaction's first change until
// the part stands for the copy, the part is put back on the way out, and the
// message says so; when the host fails the put-back too, it says that the
// part must not be saved.
TEST_F(PartCommands, AHostFailureAtAnyStepStopsTheCommandAndPutsThePartBack) {
  const std::wstring source = Part(L"bloc.SLDPRT");
  const std::string sourceBytes = ReadFileBytes(source);
  const SourceFeatures features{{source, Dump(source, L"feature: ")}};
  const std::wstring copy = folder.file(L"copie.SLDPRT");
  Open(source);
  Run(L"CompacterPart", {copy});
  const std::vector<std::wstring> compaction = Calls();
  const std::vector<FaultStep> steps = FaultSteps(compaction);
  ASSERT_EQ(steps.size(), 41u);
  const size_t changed = IndexOf(compaction, L"Document.SelectByName(\"BEx");
  const size_t copied = IndexOf(compaction, L"Document.DocumentPath", IndexOf(compaction, L"Document.SaveToPath"));
  const std::vector<std::wstring> putBack = {L"La pi\u00E8ce ouverte est rest\u00E9e telle qu'elle \u00E9tait."}, none;
  for (const FaultStep& step : steps) {
    CloseAll();
    DeleteFileW(copy.c_str());
    Open(source);
    RunFailing(L"CompacterPart", step, compaction, copy, step.index >= changed && step.index <= copied ? putBack : none);
    ExpectOpenSourcesAsOnDisk(features);
    CloseAll();
    EXPECT_EQ(ReadFileBytes(source), sourceBytes);
  }
  CloseAll();
  const std::string copyBytes = ReadFileBytes(copy);  // read while no document holds the file
  Open(copy);
  Run(L"DeCompacterPart");
  const std::vector<std::wstring> decompaction = Calls();
  ASSERT_EQ(FaultSteps(decompaction).size(), 8u);
  for (const FaultStep& step : FaultSteps(decompaction)) {
    CloseAll();
    Open(copy);
    RunFailing(L"DeCompacterPart", step, decompaction, L"", {});
  }
  CloseAll();
  EXPECT_EQ(ReadFileBytes(copy), copyBytes);

  DeleteFileW(copy.c_str());
  Open(source);
  Sim().failCall(L"DeleteSelection");
  RunFailing(L"CompacterPart", StepOf(steps, L"Document.ExtrudeSketch"), compaction, copy,
             {L"La pi\u00E8ce ouverte contient une enveloppe inachev\u00E9e : ne l'enregistrez pas.\n" + source});
  EXPECT_EQ(Dump(source, L"feature: ").size(), features.at(source).size() + 1) << "the sketch is still there";
}

}  // namespace
}  // namespace addintest
