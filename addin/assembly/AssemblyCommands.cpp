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

// The steps every listed file goes through: opened by path as that kind,
// reached by its file name (the host addresses open documents by name),
// worked on, closed again. A file the host did not open is told with the
// host's code and nothing else is done for it; one it cannot reach by name
// is told with `notFound` and closed. True when `work` answered true.
template <typename Work>
bool WorkOnListedFile(const std::wstring& path, long kind, const std::wstring& notFound, Work work) {
  const HostApplication host = CommandHost();
  const std::wstring name = FileNameOfPath(path);
  const long error = host.OpenDocumentEx(path, kind);
  if (error != 0) {
    ShowMessage(OpenErrorMessage(error, path));
    return false;
  }
  bool done = false;
  if (const ModelDocument document = host.ActivateDocument(name))
    done = work(document, name);
  else
    ShowMessage(notFound);
  // The document reference is given back before the document is closed.
  host.CloseDocument(name);
  return done;
}

// Saves the open document as the copy; true when the host wrote it. A
// document the host did not save elsewhere still stands for its source:
// saving it again would write into the source, so it is left to be closed
// without saving.
bool SaveCopy(const ModelDocument& document, const std::wstring& copyPath, const std::wstring& sourcePath) {
  if (!document.SaveToPath(copyPath)) {
    ShowMessage(CopyNotSavedMessage(sourcePath));
    return false;
  }
  document.SaveDocument();
  return true;
}

// A file that is not a part, copied unchanged into the destination folder
// under its own name.
BOOL CopyAssemblyFile(const std::wstring& sourcePath, const std::wstring& destinationFolder) {
  return WorkOnListedFile(sourcePath, kAssemblyDocumentKind, kFileNotFoundMessage,
                          [&](const ModelDocument& document, const std::wstring& name) {
                            return SaveCopy(document, destinationFolder + name, sourcePath);
                          });
}

// A part copied with the envelope into the destination folder under its own
// name; an already compacted part is copied unchanged, and silently.
BOOL CompactAssemblyPart(const std::wstring& sourcePath, const std::wstring& destinationFolder) {
  return WorkOnListedFile(sourcePath, kPartDocumentKind, sourcePath,
                          [&](const ModelDocument& document, const std::wstring& name) {
                            BuildEnvelope(document.get(), document, 0);
                            return SaveCopy(document, destinationFolder + name, sourcePath);
                          });
}

// A part decompacted in place: the envelope taken out (rebuilt only when
// both markers went), saved over its own file.
BOOL DecompactAssemblyPart(const std::wstring& path) {
  return WorkOnListedFile(path, kPartDocumentKind, path, [](const ModelDocument& document, const std::wstring&) {
    if (RemoveEnvelope(document.get(), document)) document.RebuildModel();
    document.SaveDocument();
    return true;
  });
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
