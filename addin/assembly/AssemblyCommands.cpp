// The assembly menu's two commands.
//
// "Compacter" (CompacterAsm) fills a folder the user chooses with a copy of
// the active assembly and of every file its component tree references: the
// assembly files unchanged, every part with the envelope. No source file is
// written. The source assembly is open again at the end.
//
// "Décompacter" (DeCompacterAsm) takes the envelope out of every part file
// of the active assembly, in place, and saves it. Assembly files are walked
// but never opened or saved.
#include <string>
#include <vector>

#include "assembly/AssemblyWalk.h"
#include "frame/AddinApp.h"
#include "frame/CommandBarrier.h"
#include "frame/Dialogs.h"
#include "frame/SourceGuard.h"
#include "part/Envelope.h"
#include "part/PathRules.h"
#include "part/SaveAsCopy.h"

namespace {

constexpr wchar_t kFileNotFoundMessage[] = L"Erreur:Fichier introuvable.";

std::wstring OpenErrorMessage(long error, const std::wstring& path) {
  return L"ERREUR:" + std::to_wstring(error) + L"\nFICHIER=" + path;
}

std::wstring CopyNotSavedMessage(const std::wstring& path) {
  return L"La copie n'a pas pu \u00EAtre enregistr\u00E9e.\nFICHIER=" + path;
}

// No sketch opened, or a marker has no name: decompaction would not find it.
std::wstring EnvelopeIncompleteMessage(const std::wstring& path) {
  return L"La pi\u00E8ce a \u00E9t\u00E9 copi\u00E9e sans enveloppe compl\u00E8te.\nFICHIER=" + path;
}

std::wstring FilesOpenMessage(const std::vector<std::wstring>& paths) {
  std::wstring text = L"Des fichiers de l'assemblage sont ouverts : fermez-les puis recommencez.";
  for (const std::wstring& path : paths) text += L"\n" + path;
  return text;
}

// The final word: the plain confirmation when every file was handled, else
// how many were not.
std::wstring CompactedMessage(const std::wstring& destinationFolder, int failures) {
  if (failures == 0) return L"Fichiers compact\u00E9s avec succ\u00E8s dans le dossier\n" + destinationFolder;
  return L"Compactage termin\u00E9 dans le dossier\n" + destinationFolder + L"\n" + std::to_wstring(failures) +
         L" fichier(s) n'ont pas pu \u00EAtre copi\u00E9s.";
}

std::wstring DecompactedMessage(int failures) {
  if (failures == 0) return L"Fichiers d\u00E9compact\u00E9s avec succ\u00E8s...";
  return L"D\u00E9compactage termin\u00E9.\n" + std::to_wstring(failures) +
         L" fichier(s) n'ont pas pu \u00EAtre d\u00E9compact\u00E9s.";
}

// The run through the listed files, while the top assembly is closed. The
// assembly is opened again on every way out: by the command at its end, or
// here when a failure ends the run; the failure's message then says how many
// files were done, and whether the assembly is open again.
class AssemblyRun {
 public:
  AssemblyRun(std::wstring assemblyPath, size_t fileCount) : assemblyPath_(std::move(assemblyPath)), total_(fileCount) {}
  AssemblyRun(const AssemblyRun&) = delete;
  AssemblyRun& operator=(const AssemblyRun&) = delete;
  ~AssemblyRun() {
    if (reopened_) return;
    bool reopened = false;
    try {
      ReopenAssembly();
      reopened = true;
    } catch (...) {
      // The host may be failing for good: the message says so.
    }
    try {
      AddToFailureMessage(L"Fichiers trait\u00E9s avec succ\u00E8s avant l'interruption : " + std::to_wstring(handled_) +
                          L" sur " + std::to_wstring(total_) + L".\n" +
                          (reopened ? L"L'assemblage a \u00E9t\u00E9 rouvert."
                                    : L"L'assemblage n'a pas pu \u00EAtre rouvert :\n" + assemblyPath_));
    } catch (...) {
      // Without memory for the line, the failure is told without it.
    }
  }

  void Tally(bool handled) {
    if (handled)
      ++handled_;
    else
      ++failures_;
  }
  int Failures() const { return failures_; }
  // As after every run, the source assembly is open again.
  void ReopenAssembly() {
    CommandHost().OpenDocument(assemblyPath_, kAssemblyDocumentKind);
    reopened_ = true;
  }

 private:
  std::wstring assemblyPath_;
  size_t total_;
  size_t handled_ = 0;
  int failures_ = 0;
  bool reopened_ = false;
};

// The listed files the command will open that the host has open already, in
// a window of the user's: the command would take the user's document over,
// unsaved changes and all. The host answers ActivateDocument by file name
// only for an open document; its path tells whether it is this file.
template <typename Filter>
std::vector<std::wstring> ListedFilesOpenInTheHost(const PathList& files, Filter worksOn) {
  const HostApplication host = CommandHost();
  std::vector<std::wstring> open;
  for (size_t i = 0; i < files.Count(); ++i) {
    if (!worksOn(files[i])) continue;
    const ModelDocument document = host.ActivateDocument(FileNameOfPath(files[i]));
    if (document && IsSameFile(document.DocumentPath(), files[i])) open.push_back(files[i]);
  }
  return open;
}

// The steps every listed file goes through: opened by path as that kind,
// reached by its file name (the host addresses open documents by name),
// worked on, closed again. A file the host did not open is told with the
// host's code and nothing else is done for it; one it cannot reach by name
// is told with `notFound` and closed. Once open, the document stands for its
// source until `work` says otherwise (the guard dismissed): on any way out
// before that, it is closed without saving. True when `work` answered true.
template <typename Work>
bool WorkOnListedFile(const std::wstring& path, long kind, const std::wstring& notFound, Work work) {
  const HostApplication host = CommandHost();
  const std::wstring name = FileNameOfPath(path);
  const long error = host.OpenDocumentEx(path, kind);
  if (error != 0) {
    ShowMessage(OpenErrorMessage(error, path));
    return false;
  }
  SourceGuard guard(
      [host, name] {
        host.CloseDocument(name);
        return true;
      },
      L"Le fichier ouvert par la commande a \u00E9t\u00E9 ferm\u00E9 sans \u00EAtre enregistr\u00E9 :\n" + path,
      L"Le fichier ouvert par la commande n'a pas pu \u00EAtre ferm\u00E9 : ne l'enregistrez pas.\n" + path);
  bool done = false;
  if (const ModelDocument document = host.ActivateDocument(name))
    done = work(document, guard);
  else
    ShowMessage(notFound);
  // The document reference is given back before the document is closed.
  host.CloseDocument(name);
  guard.Dismiss();
  return done;
}

// Saves the open document as the copy; true when the host wrote it and the
// document stands for it, which ends the guard's duty. A document the host
// did not save elsewhere still stands for its source: saving it again would
// write into the source, so it is left to the guard, closed without saving.
bool SaveCopy(const ModelDocument& document, const std::wstring& copyPath, const std::wstring& sourcePath,
              SourceGuard& guard) {
  if (!SaveAsCopy(document, copyPath)) {
    ShowMessage(CopyNotSavedMessage(sourcePath));
    return false;
  }
  guard.Dismiss();
  document.SaveDocument();
  return true;
}

// Where a listed file's copy goes: the destination folder, under the name
// Windows reads in its path (CollectAssemblyFiles has refused the names that
// name no file of their own).
std::wstring CopyPath(const std::wstring& destinationFolder, const std::wstring& sourcePath) {
  return destinationFolder + CopyNameOfPath(sourcePath).value();
}

// A file that is not a part, copied unchanged into the destination folder
// under its own name.
BOOL CopyAssemblyFile(const std::wstring& sourcePath, const std::wstring& destinationFolder) {
  return WorkOnListedFile(sourcePath, kAssemblyDocumentKind, kFileNotFoundMessage,
                          [&](const ModelDocument& document, SourceGuard& guard) {
                            return SaveCopy(document, CopyPath(destinationFolder, sourcePath), sourcePath, guard);
                          });
}

// A part copied with the envelope into the destination folder under its own
// name; an already compacted part is copied unchanged, and silently. A part
// whose envelope is not whole is copied all the same, and told.
BOOL CompactAssemblyPart(const std::wstring& sourcePath, const std::wstring& destinationFolder) {
  return WorkOnListedFile(sourcePath, kPartDocumentKind, sourcePath, [&](const ModelDocument& document, SourceGuard& guard) {
    const EnvelopeOutcome envelope = BuildEnvelope(document.get(), document, 0);
    if (!SaveCopy(document, CopyPath(destinationFolder, sourcePath), sourcePath, guard)) return false;
    if (envelope == EnvelopeOutcome::NoSketch || envelope == EnvelopeOutcome::Unnamed) {
      ShowMessage(EnvelopeIncompleteMessage(sourcePath));
      return false;
    }
    return true;
  });
}

// A part decompacted in place: the envelope taken out (rebuilt only when
// both markers went), saved over its own file.
BOOL DecompactAssemblyPart(const std::wstring& path) {
  return WorkOnListedFile(path, kPartDocumentKind, path, [](const ModelDocument& document, SourceGuard& guard) {
    if (RemoveEnvelope(document.get(), document)) document.RebuildModel();
    document.SaveDocument();
    guard.Dismiss();
    return true;
  });
}

bool AnyFile(const std::wstring&) { return true; }
bool PartFile(const std::wstring& path) { return IsPartFile(path) != FALSE; }

// 1. The list and the destination; 2. no listed file open in a window of the
// user's; 3. the assembly files copied unchanged, first; 4. every part
// copied with the envelope; 5. the source assembly open again; 6. told.
void CompactActiveAssembly() {
  const std::optional<AssemblyFiles> listed = CollectAssemblyFiles(Destination::Ask);
  if (!listed) return;
  const PathList& files = listed->files;
  const std::wstring destinationFolder = FolderOfPath(listed->destinationPath);
  AssemblyRun run(files[0], files.Count());
  const std::vector<std::wstring> open = ListedFilesOpenInTheHost(files, AnyFile);
  if (!open.empty()) {
    run.ReopenAssembly();
    ShowMessage(FilesOpenMessage(open));
    return;
  }

  for (size_t i = 0; i < files.Count(); ++i)
    if (!IsPartFile(files[i])) run.Tally(CopyAssemblyFile(files[i], destinationFolder));
  for (size_t i = 0; i < files.Count(); ++i)
    if (IsPartFile(files[i])) run.Tally(CompactAssemblyPart(files[i], destinationFolder));

  run.ReopenAssembly();
  ShowMessage(CompactedMessage(destinationFolder, run.Failures()));
}

// 1. The list, without a dialog; 2. no listed part open in a window of the
// user's; 3. every part file decompacted in place; 4. the assembly open
// again; 5. told.
void DecompactActiveAssembly() {
  const std::optional<AssemblyFiles> listed = CollectAssemblyFiles(Destination::None);
  if (!listed) return;
  const PathList& files = listed->files;
  size_t parts = 0;
  for (size_t i = 0; i < files.Count(); ++i) parts += PartFile(files[i]) ? 1 : 0;
  AssemblyRun run(files[0], parts);
  const std::vector<std::wstring> open = ListedFilesOpenInTheHost(files, PartFile);
  if (!open.empty()) {
    run.ReopenAssembly();
    ShowMessage(FilesOpenMessage(open));
    return;
  }

  for (size_t i = 0; i < files.Count(); ++i)
    if (IsPartFile(files[i])) run.Tally(DecompactAssemblyPart(files[i]));

  run.ReopenAssembly();
  ShowMessage(DecompactedMessage(run.Failures()));
}

}  // namespace

extern "C" void CompacterAsm() { RunMenuCommand(CompactActiveAssembly); }
extern "C" void DeCompacterAsm() { RunMenuCommand(DecompactActiveAssembly); }
