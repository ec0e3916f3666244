// The assembly commands through the real library, the real save dialog and
// the host simulator: the walk of the component tree, the copies in the
// destination folder, the parts restored in place, every refusal and every
// per-file failure, and no source file ever written.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <map>

#include "addin/AddinTest.h"
#include "responder/ProgressDialogWindow.h"

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
const std::wstring kIncomplete = L"La pi\u00E8ce a \u00E9t\u00E9 copi\u00E9e sans enveloppe compl\u00E8te.\nFICHIER=";

// The calls that tell what happened to each file, without the envelope's
// own and the menu passes the host's events cause.
const wchar_t* const kFileSteps[] = {
    L"Application.OpenDocumentEx(", L"Application.ActivateDocument(", L"Application.CloseDocument(",
    L"Application.CloseDocumentByPath(", L"Application.OpenDocument(", L"Document.SaveToPath(",
    L"Document.SaveDocument(", L"Document.RebuildModel(",
};

// While it lives, the system cannot make a progress dialog in this thread:
// the class is registered here with a factory that refuses every instance.
class ProgressDialogRefused : public IClassFactory {
 public:
  ProgressDialogRefused() {
    CoRegisterClassObject(CLSID_ProgressDialog, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  }
  ~ProgressDialogRefused() { CoRevokeClassObject(cookie_); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override {
    *object = nullptr;
    return E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  DWORD cookie_ = 0;
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
  // The check, once the assembly is closed, that the user has none of these
  // files open.
  std::vector<std::wstring> NoneOpen(const std::vector<std::wstring>& paths) const {
    std::vector<std::wstring> lines;
    for (const std::wstring& path : paths) lines.push_back(L"Application.ActivateDocument(" + Q(Name(path)) + L") -> null");
    return lines;
  }
  std::vector<std::wstring> Copied(const std::wstring& path, int kind) const {
    return {OpenEx(path, kind), L"Application.ActivateDocument(" + Q(Name(path)) + L") -> object",
            L"Document.SaveToPath(" + Q(out + Name(path)) + L") -> TRUE", L"Document.SaveDocument()",
            L"Application.CloseDocument(" + Q(Name(path)) + L")"};
  }

  std::wstring Partly(int failures) const {
    return L"Compactage termin\u00E9 dans le dossier\n" + out + L"\n" + std::to_wstring(failures) +
           L" fichier(s) n'ont pas pu \u00EAtre copi\u00E9s.";
  }

  // The user at the progress dialog, which the command updates before it
  // opens each file: read at each opening while it is up, one line a file
  // ("path | n sur N"), and cancelled at the `cancelAt`-th (0: never); then
  // `stopping` is the line it shows while the file in hand is finished.
  // `hostWindow` stands for the host's main window: whether it took input
  // at any of those moments.
  struct ProgressSeen {
    explicit ProgressSeen(size_t cancelAt, HWND hostWindow) : cancelAt(cancelAt), hostWindow(hostWindow) {}
    size_t cancelAt;
    HWND hostWindow;
    bool hostEnabled = false;
    std::wstring title, stopping;
    std::vector<std::wstring> files;
  };
  void WatchProgress(ProgressSeen& seen) {
    namespace dialogs = hostsim::dialogs;
    Sim().setChangeListener([&seen, open = size_t{0}]() mutable {
      const size_t now = Sim().openDocumentPaths().size();
      const bool opened = now > open;
      open = now;
      const HWND dialog = dialogs::findProgressDialog(GetCurrentProcessId());
      const dialogs::ProgressView view = dialog ? dialogs::readProgressDialog(dialog) : dialogs::ProgressView{};
      // Once cancelled, the dialog empties the two lines; at the end the
      // assembly is opened again under the last file's lines.
      if (opened) seen.hostEnabled |= IsWindowEnabled(seen.hostWindow) != FALSE;
      if (!opened || view.lines.size() != 3 || view.lines[1].empty()) return;
      seen.title = view.title;
      const std::wstring line = view.lines[0] + L" | " + view.lines[1];
      if (!seen.files.empty() && seen.files.back() == line) return;
      seen.files.push_back(line);
      if (seen.files.size() == seen.cancelAt && dialogs::clickProgressCancel(dialog))
        seen.stopping = dialogs::readProgressDialog(dialog).lines.at(2);
    });
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
      L"Application.ActivateDocument(\"A.SLDASM\") -> null",
  }));
  // The passes: A and S unchanged, then P1, P2, P3 with the envelope, each
  // under its own name; the typed name only had to be free. The source
  // assembly is open again at the end.
  EXPECT_EQ(Lines(FileSteps()), Lines(std::vector<std::wstring>{L"Application.CloseDocumentByPath(" + Q(a) + L")"} +
                                       NoneOpen({a, p1, s, p2, p3}) + Copied(a, 2) + Copied(s, 2) + Copied(p1, 1) + Copied(p2, 1) + Copied(p3, 1) +
                                       std::vector<std::wstring>{L"Application.OpenDocument(" + Q(a) + L", 2) -> object"}));
  EXPECT_TRUE(CallsTo(L"Document.DocumentFlag").empty());
  EXPECT_EQ(CallsTo(L"Document.ExtrudeSketch(").size(), 3u);
  EXPECT_EQ(Messages(), std::vector<std::wstring>{Compacted(out)});
  EXPECT_EQ(Sim().openDocumentPaths(), std::vector<std::wstring>{a});
  EXPECT_EQ(ReferencesHeld(), 0);

  // The dialog's other properties are the part command's (PartCommandsTest).
  const hostsim::SaveDialogRecord dialog = SaveDialogs().at(0);
  EXPECT_EQ(dialog.initialName, L"A.SLDASM");
  EXPECT_EQ(dialog.filter, L"Fichiers Assemblage (*.SLDASM)|*.SLDASM|");
  EXPECT_EQ(dialog.defaultExtension, L"SLDASM");

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

  // One file under two spellings, or reached by a second route (a hard
  // link), is one file, not two files of one name.
  const std::wstring link = folder.subfolder(L"lien") + L"P1.SLDPRT";
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), p1.c_str(), nullptr));
  Open(Assembly(L"memes.SLDASM", {p1, folder.path() + L"PIECES\\p1.SLDPRT", link}));
  Run(L"CompacterAsm", {out + L"memes.SLDASM"});
  EXPECT_EQ(Messages().back(), Compacted(out));
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
  std::vector<std::wstring> expected =
      std::vector<std::wstring>{L"Application.CloseDocumentByPath(" + Q(copy) + L")"} + NoneOpen({p1, p2, p3});
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
  // A sub-assembly the host says is the file of an ancestor is not walked.
  Open(a);
  VARIANT ancestor{};
  ancestor.vt = VT_BSTR;
  ancestor.bstrVal = SysAllocString(a.c_str());
  Sim().answerOddly(L"ComponentPath", 2, &ancestor);  // S, below A
  VariantClear(&ancestor);
  Run(L"DeCompacterAsm");
  EXPECT_EQ(CallsTo(L"Component.ComponentChildren(").size(), 1u);
  EXPECT_EQ(CallsTo(L"Application.OpenDocumentEx(").size(), 2u);
  ExpectSourcesUntouched();
}

// Every destination that would write over a source, or that the user did
// not confirm, ends the command before anything is written; the assembly
// stays open.
TEST_F(AssemblyCommands, RefusedDestinationsWriteNothingAndLeaveTheHostAsItWas) {
  const std::wstring pieces = folder.path() + L"pieces\\";
  const std::wstring twin = Part(folder.subfolder(L"ailleurs") + L"p2.sldprt");  // another file of P2's name
  sources[twin] = ReadFileBytes(twin);
  // In a third folder: a component resolves to the file of its name beside
  // its assembly first.
  const std::wstring withTwin = Assembly(folder.subfolder(L"tiers") + L"jumeaux.SLDASM", {p2, twin});
  // Components whose names cannot be a file's name in the destination: a
  // stream, and a device (the host lists it by the device's own path).
  const std::wstring oddNames[][2] = {{p1 + L":flux", p1 + L":flux"}, {pieces + L"AUX.SLDPRT", L"\\\\.\\AUX"}};
  std::vector<std::wstring> withOddName;
  for (const auto& child : oddNames)
    withOddName.push_back(Assembly(folder.subfolder(L"flux") + std::to_wstring(withOddName.size()) + L".SLDASM", {child[0]}));
  ASSERT_TRUE(testsupport::WriteFileBytes(out + L"pris.SLDASM", "sentinelle"));
  // The copy of S would be written through a link onto P1.
  ASSERT_TRUE(CreateHardLinkW((out + L"S.SLDASM").c_str(), p1.c_str(), nullptr));
  const std::wstring inFolder = L"Le dossier de destination contient un fichier de l'assemblage :\n";
  struct Case {
    std::wstring assembly, answer, message;
  };
  std::vector<Case> cases = {
      {a, L"cancel", L""},
      {a, out + L"pris.SLDASM", kNameTaken},
      {a, a, kNameTaken},
      {a, out + L"pris", kNameTaken},  // the dialog adds the extension first
      {a, folder.path() + L"ensembles\\nouveau.SLDASM", kSameFolder},
      {a, folder.path() + L"ENSEMBLES\\nouveau.SLDASM", inFolder + a + L"\nRemplacement impossible."},
      {a, pieces + L"nouveau.SLDASM", inFolder + p1 + L"\nRemplacement impossible."},
      {withTwin, out + L"jumeaux.SLDASM",
       L"Deux fichiers de l'assemblage portent le m\u00EAme nom :\n" + p2 + L"\n" + twin +
           L"\nIls ne peuvent pas \u00EAtre copi\u00E9s dans un m\u00EAme dossier."},
      {a, out + L"A.SLDASM",
       L"La copie de ce fichier remplacerait un fichier de l'assemblage :\n" + s + L"\n" + p1 + L"\nRemplacement impossible."},
  };
  for (size_t i = 0; i < withOddName.size(); ++i)
    cases.push_back({withOddName[i], out + L"flux.SLDASM",
                     L"Ce fichier de l'assemblage ne peut pas \u00EAtre copi\u00E9 sous son nom :\n" + oddNames[i][1]});
  for (const auto& c : cases) {
    SCOPED_TRACE(testsupport::Utf8(c.assembly + L" as " + c.answer));
    Open(c.assembly);
    const size_t shown = Messages().size();

    Run(L"CompacterAsm", {c.answer});

    EXPECT_EQ(LastMessages(Messages().size() - shown),
              c.message.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.message});
    EXPECT_TRUE(CallsTo(L"Application.OpenDocumentEx(").empty());
    EXPECT_EQ(Sim().openDocumentPaths(), std::vector<std::wstring>{c.assembly});
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
  EXPECT_EQ(SaveDialogs().size(), 11u);
  EXPECT_EQ(ReadFileBytes(out + L"pris.SLDASM"), "sentinelle");
  ExpectSourcesUntouched();
}

// A part already compacted is copied as it is, without a word; one whose
// host opens no sketch is copied without an envelope, told, and counted as
// not handled.
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
            (std::vector<std::wstring>{L"Il n'y \u00E0 pas d'esquisse ouverte...", kIncomplete + planeless, Partly(1)}));
  CloseAll();
  EXPECT_EQ(ReadFileBytes(out + L"deja.SLDPRT"), compactedBytes);
  EXPECT_TRUE(Dump(out + L"nu.SLDPRT", kExtrusionMarker).empty());
}

// The progress dialog as the user sees it while a run goes through the
// files, and its cancel button clicked while a file is in hand: that file is
// finished (copied and closed, or decompacted and saved), no other one is
// started, the assembly is open again, and the last message says how far the
// run went and where the copies are. The host's window takes no input
// meanwhile. A cancel during the last file leaves
// nothing to stop.
TEST_F(AssemblyCommands, TheProgressDialogShowsEachFileAndItsCancelStopsTheRunBeforeTheNextOne) {
  const std::wstring stopping = L"Arr\u00EAt apr\u00E8s le fichier en cours...";
  const std::vector<std::wstring> order = {a, s, p1, p2, p3};
  const HWND hostWindow = CreateWindowExW(0, L"STATIC", L"SolidWorks", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 100,
                                          nullptr, nullptr, nullptr, nullptr);
  for (const size_t cancelAt : {1, 3, 5}) {
    SCOPED_TRACE(cancelAt);
    for (const std::wstring& path : order) DeleteFileW((out + Name(path)).c_str());
    Open(a);
    ProgressSeen seen(cancelAt, hostWindow);
    WatchProgress(seen);

    Run(L"CompacterAsm", {out + L"A.SLDASM"});

    Sim().setChangeListener(nullptr);
    EXPECT_EQ(seen.title, L"Compactage de l'assemblage");
    std::vector<std::wstring> files, steps = NoneOpen({a, p1, s, p2, p3});
    for (size_t k = 1; k <= cancelAt; ++k) {
      files.push_back(order[k - 1] + L" | " + std::to_wstring(k) + L" sur 5");
      steps = steps + Copied(order[k - 1], k > 2 ? 1 : 2);
      EXPECT_TRUE(testsupport::FileExists(out + Name(order[k - 1])));
    }
    EXPECT_EQ(Lines(seen.files), Lines(files));
    EXPECT_EQ(seen.stopping, stopping);
    EXPECT_FALSE(seen.hostEnabled);
    EXPECT_TRUE(IsWindowEnabled(hostWindow));
    const std::wstring closed = L"Application.CloseDocumentByPath(" + Q(a) + L")",
                       reopened = L"Application.OpenDocument(" + Q(a) + L", 2) -> object";
    EXPECT_EQ(Lines(FileSteps()), Lines(std::vector<std::wstring>{closed} + steps + std::vector<std::wstring>{reopened}));
    for (size_t k = cancelAt; k < order.size(); ++k) EXPECT_FALSE(testsupport::FileExists(out + Name(order[k])));
    const std::wstring stopped = L"Compactage interrompu : " + std::to_wstring(cancelAt) +
                                 L" fichier(s) sur 5 trait\u00E9(s).\nLes copies sont dans le dossier\n" + out;
    EXPECT_EQ(Messages().back(), cancelAt == order.size() ? Compacted(out) : stopped);
    EXPECT_EQ(Sim().openDocumentPaths(), std::vector<std::wstring>{a});
    EXPECT_EQ(hostsim::dialogs::findProgressDialog(GetCurrentProcessId()), nullptr);
    EXPECT_EQ(ReferencesHeld(), 0);
    CloseAll();
  }
  EXPECT_EQ(Dump(out + L"P1.SLDPRT", L"body: "), std::vector<std::wstring>{L"body: 12 triangles"});
  DestroyWindow(hostWindow);

  // Decompaction, stopped in the middle: the parts before are restored and
  // saved, the last one is left compacted.
  Open(out + L"A.SLDASM");
  ProgressSeen seen(2, nullptr);
  WatchProgress(seen);
  Run(L"DeCompacterAsm");
  Sim().setChangeListener(nullptr);
  EXPECT_EQ(seen.title, L"D\u00E9compactage de l'assemblage");
  EXPECT_EQ(Lines(seen.files), Lines({out + L"P1.SLDPRT | 1 sur 3", out + L"P2.SLDPRT | 2 sur 3"}));
  EXPECT_EQ(Messages().back(), L"D\u00E9compactage interrompu : 2 fichier(s) sur 3 trait\u00E9(s).");
  EXPECT_EQ(CallsTo(L"Document.SaveDocument(").size(), 2u);
  EXPECT_EQ(Sim().openDocumentPaths(), std::vector<std::wstring>{out + L"A.SLDASM"});
  CloseAll();
  EXPECT_EQ(Dump(out + L"P1.SLDPRT", L"bo"), Dump(p1, L"bo"));
  EXPECT_EQ(Dump(out + L"P3.SLDPRT", kExtrusionMarker).size(), 1u);
  ExpectSourcesUntouched();
}

// What the host may answer instead of failing: no configuration, no root
// component, no children, a file it cannot open, no document of that name,
// a marker it leaves unnamed, a copy it did not write (or says it wrote
// while the document still stands for the source), and answers of another
// type where nothing reads them. Each is told as it should be.
TEST_F(AssemblyCommands, TheHostsRefusalsAreToldFileByFile) {
  const std::wstring kFileNotFound = L"Erreur:Fichier introuvable.";
  const std::wstring notCopied = L"La copie n'a pas pu \u00EAtre enregistr\u00E9e.\nFICHIER=" + p1;
  const VARIANT yes = True();
  const struct {
    const wchar_t* command;
    const wchar_t* operation;
    int nth;
    std::vector<std::wstring> messages;
    bool assemblyOpenAtEnd;
    const VARIANT* answer = nullptr;  // done, and answered this, instead of refused
  } cases[] = {
      {L"CompacterAsm", L"ActiveConfiguration", 1, {L"Pas de configuration active sur le model."}, false},
      {L"DeCompacterAsm", L"GetRootComponent", 1, {L"Erreur sur GetRootComponent."}, false},
      {L"DeCompacterAsm", L"ComponentChildren", 1, {kDecompacted}, true},  // no children: a list of one
      {L"CompacterAsm", L"OpenDocumentEx", 2, {L"ERREUR:1\nFICHIER=" + s, Partly(1)}, true},
      // The first five look for the listed files open in the host.
      {L"CompacterAsm", L"ActivateDocument", 6, {kFileNotFound, Partly(1)}, true},
      {L"CompacterAsm", L"ActivateDocument", 8, {p1, Partly(1)}, true},
      {L"CompacterAsm", L"SelectedCount", 1, {kIncomplete + p1, Partly(1)}, true},
      {L"CompacterAsm", L"SaveToPath", 3, {notCopied, Partly(1)}, true},
      // Into a folder of that name: not written.
      {L"CompacterAsm", L"SaveToPath", 3, {notCopied, Partly(1)}, true, &yes},
      {L"DeCompacterAsm", L"ActivateDocument", 4,
       {p1, L"D\u00E9compactage termin\u00E9.\n1 fichier(s) n'ont pas pu \u00EAtre d\u00E9compact\u00E9s."}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testsupport::Utf8(std::wstring(c.command) + L" " + c.operation + L" " + std::to_wstring(c.nth)));
    for (const wchar_t* name : {L"A.SLDASM", L"S.SLDASM", L"P1.SLDPRT", L"P2.SLDPRT", L"P3.SLDPRT"})
      DeleteFileW((out + name).c_str());
    if (c.answer) CreateDirectoryW((out + L"P1.SLDPRT").c_str(), nullptr);
    Open(a);
    c.answer ? Sim().answerOddly(c.operation, c.nth, c.answer) : Sim().refuseCall(c.operation, c.nth);
    const size_t shown = Messages().size();

    Run(c.command, std::wstring(c.command) == L"CompacterAsm" ? std::vector<std::wstring>{out + L"A.SLDASM"}
                                                               : std::vector<std::wstring>{});

    EXPECT_EQ(LastMessages(Messages().size() - shown), c.messages);
    EXPECT_EQ(Sim().openDocumentPaths(), c.assemblyOpenAtEnd ? std::vector<std::wstring>{a} : std::vector<std::wstring>{});
    EXPECT_EQ(ReferencesHeld(), 0);
    ExpectSourcesUntouched();
    RemoveDirectoryW((out + L"P1.SLDPRT").c_str());
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

// What else the user has going on in the host is left alone. A listed file
// open in a window of its own would be taken over, unsaved changes and all:
// both commands refuse the run before anything is written, naming it, and
// open the assembly again. A second command that reaches the add-in while
// one runs (here through the host's change of documents, as a posted menu
// pick would) is refused; the first goes on with its own list to its end.
TEST_F(AssemblyCommands, TheUsersOpenFilesAndASecondCommandAreLeftAlone) {
  Open(p2);
  DeleteFeature(L"Plan de droite", L"PLANE");  // not saved
  const std::vector<std::wstring> edited = Dump(p2, L"feature: ");
  for (const wchar_t* command : {L"CompacterAsm", L"DeCompacterAsm"}) {
    SCOPED_TRACE(testsupport::Utf8(command));
    Open(a);
    Run(command, std::wstring(command) == L"CompacterAsm" ? std::vector<std::wstring>{out + L"A.SLDASM"}
                                                           : std::vector<std::wstring>{});
    EXPECT_EQ(Messages().back(), L"Des fichiers de l'assemblage sont ouverts : fermez-les puis recommencez.\n" + p2);
    EXPECT_TRUE(CallsTo(L"Application.OpenDocumentEx(").empty());
    EXPECT_EQ(Sim().activeDocumentPath(), a);
    EXPECT_EQ(Dump(p2, L"feature: "), edited);
  }
  CloseAll();
  Open(a);
  bool picked = false;
  Sim().setChangeListener([&] {
    if (!picked && Sim().openDocumentPaths().empty()) picked = Sim().invokeExport(L"DeCompacterAsm");
  });
  Run(L"CompacterAsm", {out + L"A.SLDASM"});
  Sim().setChangeListener(nullptr);
  EXPECT_EQ(LastMessages(2), (std::vector<std::wstring>{
                                 L"Une autre commande de ZELM_Compact est en cours : terminez-la, puis recommencez.",
                                 Compacted(out)}));
  EXPECT_EQ(CallsTo(L"Document.SaveToPath(").size(), 5u);
  EXPECT_EQ(ReferencesHeld(), 0);
  ExpectSourcesUntouched();
}

// What an assembly command puts back when a failure at that call of its
// clean run ends it: the listed file it has open, closed without saving
// until `settled` (the call after which the file stands for its copy, or is
// saved in place); and, once the walk closed it, the top assembly opened
// again, with how many of the `total` files were done.
std::vector<std::wstring> PutBackLines(const std::vector<std::wstring>& calls, size_t failed, const wchar_t* settled,
                                       size_t total) {
  const size_t closed = IndexOf(calls, L"Application.CloseDocumentByPath(");
  if (failed <= closed) return {};
  size_t done = 0, open = 0;
  for (size_t i = closed + 1; i < failed; ++i) {
    if (calls[i].rfind(L"Application.OpenDocumentEx(", 0) == 0) open = i;
    if (calls[i].rfind(settled, 0) == 0) open = 0;
    if (calls[i].rfind(L"Application.CloseDocument(", 0) == 0) open = 0, ++done;
  }
  std::vector<std::wstring> lines;
  if (open)
    lines.push_back(L"Le fichier ouvert par la commande a \u00E9t\u00E9 ferm\u00E9 sans \u00EAtre enregistr\u00E9 :\n" +
                    FirstText(calls[open]));
  lines.push_back(L"Fichiers trait\u00E9s avec succ\u00E8s avant l'interruption : " + std::to_wstring(done) + L" sur " +
                  std::to_wstring(total) + L".\nL'assemblage a \u00E9t\u00E9 rouvert.");
  return lines;
}

// A host call that fails at the dispatch level, at every step of both
// commands, on a small tree: the command stops there with one message, every
// reference given back, no source written. The file it has open is closed
// without saving, the top assembly is open again, and no open document that
// stands for a source holds anything the command added; the message says so.
// When the host fails these steps too, it says what must not be saved.
TEST_F(AssemblyCommands, AHostFailureAtAnyStepStopsTheCommandAndPutsTheHostBack) {
  const std::wstring sub = Assembly(L"sous.SLDASM", {p2});
  const std::wstring top = Assembly(L"haut.SLDASM", {sub});
  for (const std::wstring& path : {sub, top}) sources[path] = ReadFileBytes(path);
  SourceFeatures features;
  for (const std::wstring& path : {top, sub, p2}) features[path] = Dump(path, L"feature: ");
  const auto failEachStep = [&](const wchar_t* command, const std::wstring& answer, const wchar_t* settled, size_t total) {
    Open(top);
    Run(command, answer.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{answer});
    const std::vector<std::wstring> clean = Calls();
    for (const FaultStep& step : FaultSteps(clean)) {
      CloseAll();
      for (const wchar_t* copy : {L"haut.SLDASM", L"sous.SLDASM", L"P2.SLDPRT"}) DeleteFileW((out + copy).c_str());
      Open(top);
      RunFailing(command, step, clean, answer, PutBackLines(clean, step.index, settled, total));
      EXPECT_EQ(hostsim::dialogs::findProgressDialog(GetCurrentProcessId()), nullptr);
      ExpectOpenSourcesAsOnDisk(features);
      EXPECT_EQ(Sim().activeDocumentPath(), top);
    }
    CloseAll();
    return clean;
  };
  const auto compaction = failEachStep(L"CompacterAsm", out + L"haut.SLDASM", L"Document.DocumentPath(", 3);
  EXPECT_GT(FaultSteps(compaction).size(), 50u);
  const auto decompaction = failEachStep(L"DeCompacterAsm", L"", L"Document.SaveDocument(", 1);
  {
    // Without a progress dialog the run is the same, call by call.
    const ProgressDialogRefused refused;
    Open(top);
    Run(L"DeCompacterAsm");
    EXPECT_EQ(Lines(Calls()), Lines(decompaction));
    EXPECT_EQ(Messages().back(), kDecompacted);
    CloseAll();
  }

  Open(top);
  Sim().failCall(L"CloseDocument", 3);  // P2's, after haut's and sous's copies
  Sim().failCall(L"OpenDocument");
  RunFailing(L"CompacterAsm", StepOf(FaultSteps(compaction), L"Document.ExtrudeSketch"), compaction, out + L"haut.SLDASM",
             {L"Le fichier ouvert par la commande n'a pas pu \u00EAtre ferm\u00E9 : ne l'enregistrez pas.\n" + p2,
              L"Fichiers trait\u00E9s avec succ\u00E8s avant l'interruption : 2 sur 3.\nL'assemblage n'a pas pu \u00EAtre rouvert :\n" + top});
  ExpectSourcesUntouched();
}

}  // namespace
}  // namespace addintest
