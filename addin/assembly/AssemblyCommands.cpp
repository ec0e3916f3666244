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

#include "assembly/AssemblyWalk.h"
#include "frame/AddinApp.h"
#include "frame/CommandBarrier.h"
#include "frame/Dialogs.h"
#include "part/Envelope.h"
#include "part/PathRules.h"

namespace {

constexpr wchar_t kFileNotFoundMessage[] = L"Erreur:Fichier introuvable.";

std::wstring OpenErrorMessage(long error, const std::wstring& path) {
  return L"ERREUR:" + std::to_wstring(error) + L"\nFICHIER=" + path;
}

std::wstring CopyNotSavedMessage(const std::wstring& path) {
  return L"La copie n'a pas pu \u00EAtre enregistr\u00E9e.\nFICHIER=" + path;
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

// The list is empty between commands: emptied on every way out, the way out
// of a host error included.
struct DocumentPathsEmptiedOnExit {
  DocumentPathsEmptiedOnExit() = default;
  DocumentPathsEmptiedOnExit(const DocumentPathsEmptiedOnExit&) = delete;
  DocumentPathsEmptiedOnExit& operator=(const DocumentPathsEmptiedOnExit&) = delete;
  ~DocumentPathsEmptiedOnExit() {
    if (theAddinApp) theAddinApp->documentPaths.Clear();
  }
};

enum class Copy { Unchanged, WithEnvelope };

// One listed file into the destination folder, under its own name: opened,
// reached by name, the envelope put in (parts), saved to the copy's path and
// closed again. True when the copy was written; every failure is told and
// ends only this file.
bool CopyListedFile(const std::wstring& sourcePath, const std::wstring& destinationFolder, Copy copy) {
  const HostApplication host = CommandHost();
  const std::wstring name = FileNameOfPath(sourcePath);
  const long kind = copy == Copy::WithEnvelope ? kPartDocumentKind : kAssemblyDocumentKind;
  const long error = host.OpenDocumentEx(sourcePath, kind);
  if (error != 0) {
    // Nothing is activated, saved or closed for a file the host did not open.
    ShowMessage(OpenErrorMessage(error, sourcePath));
    return false;
  }
  bool copied = false;
  if (const ModelDocument document = host.ActivateDocument(name)) {
    // An already compacted part is copied unchanged, and silently.
    if (copy == Copy::WithEnvelope) BuildEnvelope(document.get(), document, 0);
    copied = document.SaveToPath(destinationFolder + name);
    // A document the host did not save elsewhere still stands for its
    // source: saving it again would write the envelope into the source. It
    // is closed without saving instead.
    if (copied)
      document.SaveDocument();
    else
      ShowMessage(CopyNotSavedMessage(sourcePath));
  } else {
    ShowMessage(copy == Copy::WithEnvelope ? sourcePath : std::wstring(kFileNotFoundMessage));
  }
  host.CloseDocument(name);
  return copied;
}

BOOL CopyAssemblyFile(const std::wstring& sourcePath, const std::wstring& destinationFolder) {
  return CopyListedFile(sourcePath, destinationFolder, Copy::Unchanged);
}

BOOL CompactAssemblyPart(const std::wstring& sourcePath, const std::wstring& destinationFolder) {
  return CopyListedFile(sourcePath, destinationFolder, Copy::WithEnvelope);
}

// One part file, in place: opened, reached by name, the envelope taken out
// (rebuilt only when both markers went), saved over its own file, closed.
// True when it was saved.
BOOL DecompactAssemblyPart(const std::wstring& path) {
  const HostApplication host = CommandHost();
  const std::wstring name = FileNameOfPath(path);
  const long error = host.OpenDocumentEx(path, kPartDocumentKind);
  if (error != 0) {
    ShowMessage(OpenErrorMessage(error, path));
    return FALSE;
  }
  BOOL saved = FALSE;
  if (const ModelDocument document = host.ActivateDocument(name)) {
    if (RemoveEnvelope(document.get(), document)) document.RebuildModel();
    document.SaveDocument();
    saved = TRUE;
  } else {
    ShowMessage(path);
  }
  host.CloseDocument(name);
  return saved;
}

// 1. The list and the destination; 2. the assembly files copied unchanged,
// first; 3. every part copied with the envelope; 4. the source assembly open
// again; 5. told.
void CompactActiveAssembly() {
  const DocumentPathsEmptiedOnExit emptied;
  const std::optional<std::wstring> destinationPath = CollectAssemblyFiles(Destination::Ask);
  if (!destinationPath) return;
  const std::wstring destinationFolder = FolderOfPath(*destinationPath);
  const PathList& files = theAddinApp->documentPaths;

  int failures = 0;
  for (size_t i = 0; i < files.Count(); ++i)
    if (!IsPartFile(files[i]) && !CopyAssemblyFile(files[i], destinationFolder)) ++failures;
  for (size_t i = 0; i < files.Count(); ++i)
    if (IsPartFile(files[i]) && !CompactAssemblyPart(files[i], destinationFolder)) ++failures;

  CommandHost().OpenDocument(files[0], kAssemblyDocumentKind);
  ShowMessage(CompactedMessage(destinationFolder, failures));
}

// 1. The list, without a dialog; 2. every part file decompacted in place;
// 3. the assembly open again; 4. told.
void DecompactActiveAssembly() {
  const DocumentPathsEmptiedOnExit emptied;
  if (!CollectAssemblyFiles(Destination::None)) return;
  const PathList& files = theAddinApp->documentPaths;

  int failures = 0;
  for (size_t i = 0; i < files.Count(); ++i)
    if (IsPartFile(files[i]) && !DecompactAssemblyPart(files[i])) ++failures;

  CommandHost().OpenDocument(files[0], kAssemblyDocumentKind);
  ShowMessage(DecompactedMessage(failures));
}

}  // namespace

extern "C" void CompacterAsm() { RunCommand(CompactActiveAssembly); }
extern "C" void DeCompacterAsm() { RunCommand(DecompactActiveAssembly); }
