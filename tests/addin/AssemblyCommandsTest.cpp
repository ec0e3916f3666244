// The assembly commands through the real library, the real save dialog and
// the host simulator: the walk of the component tree, the copies in the
// destination folder, the parts restored in place, every refusal and every
// per-file failure, and no source file ever written.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <map>

#include "addin/AddinTest.h"

namespace addintest {
namespace {

using testsupport::ReadFileBytes;

const std::wstring kNotAnAssembly = L"Le document courant n'est pas un assemblage.";
const std::wstring kNameTaken = L"L'assemblage existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible.";
const std::wstring kSameFolder = L"L'assemblage ne peut pas \u00EAtre sauvegard\u00E9\n dans le m\u00EAme dossier.";
const std::wstring kDecompacted = L"Fichiers d\u00E9compact\u00E9s avec succ\u00E8s...";
const std::wstring kExtrusionMarker = L"feature: BEx_KMTV_Compact001 (Extrusion)";

std::wstring Compacted(const std::wstring& folder) {
  return L"Fichiers compact\u00E9s avec succ\u00E8s dans le dossier\n" + folder;
}

// The calls that tell what happened to each file, without the envelope's
// own and the menu passes the host's events cause.
const wchar_t* const kFileSteps[] = {
    L"Application.OpenDocumentEx(", L"Application.ActivateDocument(", L"Application.CloseDocument(",
    L"Application.CloseDocumentByPath(", L"Application.OpenDocument(", L"Document.SaveToPath(",
    L"Document.SaveDocument(", L"Document.RebuildModel(",
};

class AssemblyCommands : public AddinTest {
 protected:
  // The tree of the walk's example: A holds P1, S and P3; S holds P2 and P1.
  // Parts in one folder, assemblies in another; the destination apart.
  void SetUp() override {
    AddinTest::SetUp();
    const std::wstring pieces = folder.subfolder(L"pieces"), ensembles = folder.subfolder(L"ensembles");
    p1 = Part(pieces + L"P1.SLDPRT", L"flange");
    p2 = Part(pieces + L"P2.SLDPRT");
    p3 = Part(pieces + L"P3.SLDPRT", L"box:0,0,-4,10,20,5");
    s = Assembly(ensembles + L"S.SLDASM", {p2, p1});
    a = Assembly(ensembles + L"A.SLDASM", {p1, s, p3});
    out = folder.subfolder(L"envoi");
    for (const std::wstring& path : {p1, p2, p3, s, a}) sources[path] = ReadFileBytes(path);
  }

  std::vector<std::wstring> FileSteps() const {
    std::vector<std::wstring> steps;
    for (const std::wstring& line : Calls())
      for (const wchar_t* prefix : kFileSteps)
        if (line.rfind(prefix, 0) == 0) steps.push_back(line);
    return steps;
  }
  // Every source as it was at the start, whatever the commands did.
  void ExpectSourcesUntouched() {
    CloseAll();
    for (const auto& [path, bytes] : sources) EXPECT_EQ(ReadFileBytes(path), bytes) << testsupport::Utf8(path);
  }
  std::wstring Name(const std::wstring& path) const { return path.substr(path.rfind(L'\\') + 1); }
  std::wstring OpenEx(const std::wstring& path, int kind) const {
    return L"Application.OpenDocumentEx(" + Q(path) + L", " + std::to_wstring(kind) + L", &0) -> object";
  }
  std::vector<std::wstring> Copied(const std::wstring& path, int kind) const {
    return {OpenEx(path, kind), L"Application.ActivateDocument(" + Q(Name(path)) + L") -> object",
            L"Document.SaveToPath(" + Q(out + Name(path)) + L") -> TRUE", L"Document.SaveDocument()",
            L"Application.CloseDocument(" + Q(Name(path)) + L")"};
  }

  std::wstring p1, p2, p3, s, a, out;
  std::map<std::wstring, std::string> sources;
};

TEST_F(AssemblyCommands, CompactionWalksTheTreeOnceCopiesAssembliesFirstThenCompactsEachPartOnce) {
  Open(a);

  Run(L"CompacterAsm", {out + L"autre.SLDASM"});

  // The walk: depth first, parent before children, each file once; the
  // sub-assembly's own children asked for; the assembly closed before the
  // passes.
  const std::vector<std::wstring> calls = Calls();
  ASSERT_GE(calls.size(), 15u);
  EXPECT_EQ(Lines(std::vector<std::wstring>(calls.begin(), calls.begin() + 15)), Lines({
      L"Application.ActiveDocument() -> object",
      L"Document.DocumentKind() -> 2",
      L"Document.DocumentPath() -> " + Q(a),
      L"Document.PrepareComponents(TRUE) -> 3",
      L"Document.ActiveConfiguration() -> object",
      L"Configuration.GetRootComponent() -> object",
      L"Component.ComponentChildren() -> [object, object, object]",
      L"Component.ComponentPath() -> " + Q(p1),
      L"Component.ComponentPath() -> " + Q(s),
      L"Component.ComponentChildren() -> [object, object]",
      L"Component.ComponentPath() -> " + Q(p2),
      L"Component.ComponentPath() -> " + Q(p1),
      L"Component.ComponentPath() -> " + Q(p3),
      L"Application.CloseDocumentByPath(" + Q(a) + L")",
      OpenEx(a, 2),
  }));
  // The passes: A and S unchanged, then P1, P2, P3 with the envelope, each
  // under its own name; the typed name only had to be free. The source
  // assembly is open again at the end.
  EXPECT_EQ(Lines(FileSteps()), Lines(std::vector<std::wstring>{L"Application.CloseDocumentByPath(" + Q(a) + L")"} +
                                       Copied(a, 2) + Copied(s, 2) + Copied(p1, 1) + Copied(p2, 1) + Copied(p3, 1) +
                                       std::vector<std::wstring>{L"Application.OpenDocument(" + Q(a) + L", 2) -> object"}));
  EXPECT_TRUE(CallsTo(L"Document.DocumentFlag").empty());
  EXPECT_EQ(CallsTo(L"Document.ExtrudeSketch(").size(), 3u);
  EXPECT_EQ(Messages(), std::vector<std::wstring>{Compacted(out)});
  EXPECT_EQ(Sim().openDocumentPaths(), std::vector<std::wstring>{a});
  EXPECT_EQ(ReferencesHeld(), 0);

  const hostsim::SaveDialogRecord dialog = SaveDialogs().at(0);
  EXPECT_EQ(dialog.initialName, L"A.SLDASM");
  EXPECT_FALSE(dialog.hadOwner);
  EXPECT_EQ(dialog.filter, L"Fichiers Assemblage (*.SLDASM)|*.SLDASM|");
  EXPECT_EQ(dialog.defaultExtension, L"SLDASM");
  EXPECT_EQ(dialog.flags, static_cast<DWORD>(OFN_HIDEREADONLY));

  // What is on disk: the assemblies byte for byte, each part one box that
  // the copied assembly now finds beside it; nothing else; no source written.
  CloseAll();
  EXPECT_EQ(ReadFileBytes(out + L"A.SLDASM"), sources[a]);
  EXPECT_EQ(ReadFileBytes(out + L"S.SLDASM"), sources[s]);
  EXPECT_FALSE(testsupport::FileExists(out + L"autre.SLDASM"));
  for (const std::wstring& part : {p1, p2, p3}) {
    EXPECT_EQ(Dump(out + Name(part), L"body: "), std::vector<std::wstring>{L"body: 12 triangles"});
    EXPECT_EQ(Dump(out + Name(part), kExtrusionMarker).size(), 1u);
  }
  EXPECT_EQ(Dump(out + L"A.SLDASM", L"component: ").front(), L"component: " + out + L"P1.SLDPRT");
  ExpectSourcesUntouched();
}

TEST_F(AssemblyCommands, DecompactionRestoresEveryPartInPlaceAndTouchesNoAssembly) {
  Open(a);
  Run(L"CompacterAsm", {out + L"A.SLDASM"});
  CloseAll();
  const std::wstring copy = out + L"A.SLDASM";
  const std::string copyBytes = ReadFileBytes(copy), subCopyBytes = ReadFileBytes(out + L"S.SLDASM");
  const std::vector<std::wstring> flangeBody = Dump(p1, L"bo");
  Open(copy);

  Run(L"DeCompacterAsm");

  // No dialog; parts only, each once, in the order the walk met them; both
  // markers went, so each is rebuilt; saved over its own file.
  EXPECT_EQ(SaveDialogs().size(), 1u);  // the compaction's
  std::vector<std::wstring> expected = {L"Application.CloseDocumentByPath(" + Q(copy) + L")"};
  for (const std::wstring& part : {p1, p2, p3}) {
    const std::wstring path = out + Name(part);
    expected = expected + std::vector<std::wstring>{OpenEx(path, 1), L"Application.ActivateDocument(" + Q(Name(path)) + L") -> object",
                                                    L"Document.RebuildModel()", L"Document.SaveDocument()",
                                                    L"Application.CloseDocument(" + Q(Name(path)) + L")"};
  }
  expected.push_back(L"Application.OpenDocument(" + Q(copy) + L", 2) -> object");
  EXPECT_EQ(Lines(FileSteps()), Lines(expected));
  EXPECT_EQ(Messages().back(), kDecompacted);
  EXPECT_EQ(ReferencesHeld(), 0);
  CloseAll();
  EXPECT_EQ(Dump(out + L"P1.SLDPRT", L"bo"), flangeBody);
  EXPECT_TRUE(Dump(out + L"P2.SLDPRT", kExtrusionMarker).empty());
  EXPECT_EQ(ReadFileBytes(copy), copyBytes);
  EXPECT_EQ(ReadFileBytes(out + L"S.SLDASM"), subCopyBytes);

  // Run again, nothing left to remove: no rebuild, every part saved unchanged.
  Open(copy);
  Run(L"DeCompacterAsm");
  EXPECT_TRUE(CallsTo(L"Document.RebuildModel(").empty());
  EXPECT_EQ(CallsTo(L"Document.SaveDocument(").size(), 3u);
  EXPECT_EQ(Messages().back(), kDecompacted);
  ExpectSourcesUntouched();
}

// The shapes a tree can take, as the list (seen through the order of the
// decompaction's openings: parts only, in list order).
TEST_F(AssemblyCommands, EachFileIsListedOnceByExactPathAndASubAssemblyUsedTwiceIsWalkedTwice) {
  struct Shape {
    const wchar_t* name;
    std::vector<std::wstring> children;
    std::vector<std::wstring> partsOpened;
    size_t childrenAsked;
  };
  const std::wstring p1Otherwise = folder.path() + L"PIECES\\p1.SLDPRT";  // the same file, other letters
  const Shape shapes[] = {
      {L"twice.SLDASM", {s, p3, s}, {p2, p1, p3}, 3},
      {L"cases.SLDASM", {p1, p1Otherwise}, {p1, p1Otherwise}, 1},
      {L"leaf.SLDASM", {}, {}, 1},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(testsupport::Utf8(shape.name));
    Open(Assembly(shape.name, shape.children));
    Run(L"DeCompacterAsm");
    std::vector<std::wstring> opened;
    for (const std::wstring& line : CallsTo(L"Application.OpenDocumentEx("))
      opened.push_back(line.substr(line.find(L'"') + 1, line.rfind(L'"') - line.find(L'"') - 1));
    EXPECT_EQ(opened, shape.partsOpened);
    EXPECT_EQ(CallsTo(L"Component.ComponentChildren(").size(), shape.childrenAsked);
    EXPECT_EQ(Messages().back(), kDecompacted);
    CloseAll();
  }
  ExpectSourcesUntouched();
}

// Every destination that would write over a source, or that the user did
// not confirm, ends the command before anything is written.
TEST_F(AssemblyCommands, RefusedDestinationsWriteNothingAndLeaveTheHostAsItWas) {
  const std::wstring pieces = folder.path() + L"pieces\\";
  const std::wstring other = folder.subfolder(L"ailleurs");
  const std::wstring twin = Part(other + L"P2.SLDPRT");  // another file of P2's name
  sources[twin] = ReadFileBytes(twin);
  // In a third folder: a component resolves to the file of its name beside
  // its assembly first.
  const std::wstring withTwin = Assembly(folder.subfolder(L"tiers") + L"jumeaux.SLDASM", {p2, twin});
  ASSERT_TRUE(testsupport::WriteFileBytes(out + L"pris.SLDASM", "sentinelle"));
  struct Case {
    std::wstring assembly, answer, message;
    bool closed;  // the assembly no longer open once refused
  };
  const Case cases[] = {
      {a, L"cancel", L"", false},
      {a, out + L"pris.SLDASM", kNameTaken, false},
      {a, a, kNameTaken, false},
      {a, out + L"pris", kNameTaken, false},  // the dialog adds the extension first
      {a, folder.path() + L"ensembles\\nouveau.SLDASM", kSameFolder, false},
      {a, folder.path() + L"ENSEMBLES\\nouveau.SLDASM",
       L"Le dossier de destination contient un fichier de l'assemblage :\n" + a + L"\nRemplacement impossible.", false},
      {a, pieces + L"nouveau.SLDASM",
       L"Le dossier de destination contient un fichier de l'assemblage :\n" + p1 + L"\nRemplacement impossible.", false},
      {withTwin, out + L"jumeaux.SLDASM",
       L"Deux fichiers de l'assemblage portent le m\u00EAme nom :\n" + p2 + L"\n" + twin +
           L"\nIls ne peuvent pas \u00EAtre copi\u00E9s dans un m\u00EAme dossier.",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testsupport::Utf8(c.answer));
    Open(c.assembly);
    const size_t shown = Messages().size();

    Run(L"CompacterAsm", {c.answer});

    EXPECT_EQ(LastMessages(Messages().size() - shown),
              c.message.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.message});
    EXPECT_TRUE(CallsTo(L"Application.OpenDocumentEx(").empty());
    EXPECT_EQ(Sim().openDocumentPaths().empty(), c.closed);
    EXPECT_EQ(ReferencesHeld(), 0);
    CloseAll();
  }
  // Without an assembly active: one message, no dialog.
  Open(p1);
  Run(L"CompacterAsm");
  Run(L"DeCompacterAsm");
  CloseAll();
  Run(L"DeCompacterAsm");
  EXPECT_EQ(LastMessages(3),
            (std::vector<std::wstring>{kNotAnAssembly, kNotAnAssembly, kNotAnAssembly}));
  EXPECT_EQ(SaveDialogs().size(), 8u);
  EXPECT_EQ(ReadFileBytes(out + L"pris.SLDASM"), "sentinelle");
  ExpectSourcesUntouched();
}

// A file that fails ends only that file: it is told, the run goes on, and
// the last word says how many files were not handled.
TEST_F(AssemblyCommands, AFileThatFailsIsToldAndTheRunGoesOnToAnHonestEnd) {
  // P2 corrupt: the host cannot open it. P3's copy cannot be written: a
  // folder of that name stands in the destination.
  ASSERT_TRUE(testsupport::WriteFileBytes(p2, "ceci n'est pas une pi\xC3\xA8" "ce"));
  sources[p2] = ReadFileBytes(p2);
  ASSERT_TRUE(CreateDirectoryW((out + L"P3.SLDPRT").c_str(), nullptr));
  Open(a);

  Run(L"CompacterAsm", {out + L"A.SLDASM"});

  const std::vector<std::wstring> steps = FileSteps();
  EXPECT_TRUE(std::find(steps.begin(), steps.end(), L"Application.OpenDocumentEx(" + Q(p2) + L", 1, &3) -> null") != steps.end());
  EXPECT_TRUE(std::find(steps.begin(), steps.end(), L"Application.ActivateDocument(\"P2.SLDPRT\") -> object") == steps.end());
  // P3: not saved again over its source, closed without saving.
  const auto save = std::find(steps.begin(), steps.end(), L"Document.SaveToPath(" + Q(out + L"P3.SLDPRT") + L") -> FALSE");
  ASSERT_NE(save, steps.end());
  EXPECT_EQ(*(save + 1), L"Application.CloseDocument(\"P3.SLDPRT\")");
  EXPECT_EQ(Messages(), (std::vector<std::wstring>{
                            L"ERREUR:3\nFICHIER=" + p2,
                            L"La copie n'a pas pu \u00EAtre enregistr\u00E9e.\nFICHIER=" + p3,
                            L"Compactage termin\u00E9 dans le dossier\n" + out + L"\n2 fichier(s) n'ont pas pu \u00EAtre copi\u00E9s.",
                        }));
  EXPECT_EQ(Dump(out + L"P1.SLDPRT", kExtrusionMarker).size(), 1u);
  EXPECT_EQ(ReferencesHeld(), 0);
  ExpectSourcesUntouched();

  // Decompaction of the source tree: P2 fails the same way, the others are
  // saved (unchanged: they carry no envelope).
  Open(a);
  Run(L"DeCompacterAsm");
  EXPECT_EQ(LastMessages(2),
            (std::vector<std::wstring>{L"ERREUR:3\nFICHIER=" + p2,
                                       L"D\u00E9compactage termin\u00E9.\n1 fichier(s) n'ont pas pu \u00EAtre d\u00E9compact\u00E9s."}));
  EXPECT_EQ(CallsTo(L"Document.SaveDocument(").size(), 2u);
}

// A part already compacted is copied as it is, without a word; one whose
// host opens no sketch is copied without an envelope, with its message.
TEST_F(AssemblyCommands, PartsTheEnvelopeStepTreatsApartAreCopiedAllTheSame) {
  const std::wstring compacted = folder.file(L"deja.SLDPRT");
  Open(p2);
  Run(L"CompacterPart", {compacted});
  CloseAll();
  Open(p3);
  for (const wchar_t* plane : {L"Plan de face", L"Plan de dessus", L"Plan de droite"}) DeleteFeature(plane, L"PLANE");
  const std::wstring planeless = folder.file(L"nu.SLDPRT");
  ActiveDocument().SaveToPath(planeless);
  CloseAll();
  const std::string compactedBytes = ReadFileBytes(compacted);
  Open(Assembly(L"melange.SLDASM", {compacted, planeless}));
  const size_t shown = Messages().size();

  Run(L"CompacterAsm", {out + L"melange.SLDASM"});

  EXPECT_EQ(LastMessages(Messages().size() - shown),
            (std::vector<std::wstring>{L"Il n'y \u00E0 pas d'esquisse ouverte...", Compacted(out)}));
  CloseAll();
  EXPECT_EQ(ReadFileBytes(out + L"deja.SLDPRT"), compactedBytes);
  EXPECT_TRUE(Dump(out + L"nu.SLDPRT", kExtrusionMarker).empty());
}

// What the host may answer instead of failing: no configuration, no root
// component, no children, a file it cannot open, no document of that name,
// a copy it did not write, and answers of another type where nothing reads
// them. Each is told as it should be, and the next command starts clean.
TEST_F(AssemblyCommands, TheHostsRefusalsAreToldFileByFile) {
  const std::wstring kFileNotFound = L"Erreur:Fichier introuvable.";
  struct Case {
    const wchar_t* command;
    const wchar_t* operation;
    int nth;
    std::vector<std::wstring> messages;
    bool assemblyOpenAtEnd;
  };
  const std::wstring partial = L"Compactage termin\u00E9 dans le dossier\n" + out + L"\n1 fichier(s) n'ont pas pu \u00EAtre copi\u00E9s.";
  const Case cases[] = {
      {L"CompacterAsm", L"ActiveConfiguration", 1, {L"Pas de configuration active sur le model."}, false},
      {L"DeCompacterAsm", L"GetRootComponent", 1, {L"Erreur sur GetRootComponent."}, false},
      {L"DeCompacterAsm", L"ComponentChildren", 1, {kDecompacted}, true},  // no children: a list of one
      {L"CompacterAsm", L"OpenDocumentEx", 2, {L"ERREUR:1\nFICHIER=" + s, partial}, true},
      {L"CompacterAsm", L"ActivateDocument", 1, {kFileNotFound, partial}, true},
      {L"CompacterAsm", L"ActivateDocument", 3, {p1, partial}, true},
      {L"CompacterAsm", L"SaveToPath", 3, {L"La copie n'a pas pu \u00EAtre enregistr\u00E9e.\nFICHIER=" + p1, partial}, true},
      {L"DeCompacterAsm", L"ActivateDocument", 1,
       {p1, L"D\u00E9compactage termin\u00E9.\n1 fichier(s) n'ont pas pu \u00EAtre d\u00E9compact\u00E9s."}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testsupport::Utf8(std::wstring(c.command) + L" " + c.operation + L" " + std::to_wstring(c.nth)));
    for (const std::wstring& name : {L"A.SLDASM", L"S.SLDASM", L"P1.SLDPRT", L"P2.SLDPRT", L"P3.SLDPRT"})
      DeleteFileW((out + name).c_str());
    Open(a);
    Sim().refuseCall(c.operation, c.nth);
    const size_t shown = Messages().size();

    Run(c.command, std::wstring(c.command) == L"CompacterAsm" ? std::vector<std::wstring>{out + L"A.SLDASM"}
                                                               : std::vector<std::wstring>{});

    EXPECT_EQ(LastMessages(Messages().size() - shown), c.messages);
    EXPECT_EQ(Sim().openDocumentPaths(), c.assemblyOpenAtEnd ? std::vector<std::wstring>{a} : std::vector<std::wstring>{});
    EXPECT_EQ(ReferencesHeld(), 0);
    CloseAll();
    // A list left over would show in the next run's walk.
    Open(a);
    Run(L"DeCompacterAsm");
    EXPECT_EQ(CallsTo(L"Application.OpenDocumentEx(").size(), 3u);
    CloseAll();
  }

  // The empty array an assembly's file may ask for, and answers nothing
  // reads, in another type.
  const std::wstring hollow = folder.file(L"creux.SLDASM");
  ASSERT_TRUE(testsupport::WriteFileBytes(hollow, "hostsim assembly 1\nanswer ComponentChildren empty-array\nend\n"));
  Open(hollow);
  Sim().answerOddly(L"PrepareComponents");
  Sim().answerOddly(L"OpenDocument");
  Run(L"CompacterAsm", {out + L"creux.SLDASM"});
  EXPECT_EQ(LastMessages(1), std::vector<std::wstring>{Compacted(out)});
  EXPECT_EQ(CallsTo(L"Application.OpenDocumentEx(").size(), 1u);
  ExpectSourcesUntouched();
}

// A host call that fails at the dispatch level, at every step of both
// commands, on a small tree: the command stops there with one message, every
// reference given back, no source written; and the next run starts from an
// empty list (each run's calls before its failure are the clean run's).
TEST_F(AssemblyCommands, AHostFailureAtAnyStepStopsTheCommandCleanly) {
  const std::wstring sub = Assembly(L"sous.SLDASM", {p2});
  const std::wstring top = Assembly(L"haut.SLDASM", {sub});
  for (const std::wstring& path : {sub, top}) sources[path] = ReadFileBytes(path);
  Open(top);
  Run(L"CompacterAsm", {out + L"haut.SLDASM"});
  const std::vector<std::wstring> compaction = Calls();
  const std::vector<FaultStep> steps = FaultSteps(compaction);
  EXPECT_GT(steps.size(), 50u);
  for (const FaultStep& step : steps) {
    CloseAll();
    for (const wchar_t* copy : {L"haut.SLDASM", L"sous.SLDASM", L"P2.SLDPRT"}) DeleteFileW((out + copy).c_str());
    Open(top);
    RunFailing(L"CompacterAsm", step, compaction, out + L"haut.SLDASM");
  }

  CloseAll();
  Open(top);
  Run(L"DeCompacterAsm");
  const std::vector<std::wstring> decompaction = Calls();
  for (const FaultStep& step : FaultSteps(decompaction)) {
    CloseAll();
    Open(top);
    RunFailing(L"DeCompacterAsm", step, decompaction);
  }
  ExpectSourcesUntouched();
}

}  // namespace
}  // namespace addintest
