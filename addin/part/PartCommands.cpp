// The part menu's two commands.
//
// "Compacter" (CompacterPart) saves a compacted copy of the active part under
// a path the user chooses. The source file is never written: the envelope
// only goes into the document that is saved to the new path, and the source
// is opened again afterwards.
//
// "Décompacter" (DeCompacterPart) removes the envelope from the active part
// and has the host rebuild it, which brings the part's own body back. The
// change stays in the open document; nothing is saved.
#include <optional>
#include <string>

#include "frame/AddinApp.h"
#include "frame/CommandBarrier.h"
#include "frame/Dialogs.h"
#include "part/Envelope.h"
#include "part/PathRules.h"

namespace {

constexpr wchar_t kNoActiveDocumentMessage[] = L"Pas de Document Courant !...";
constexpr wchar_t kDestinationTakenMessage[] =
    L"Le pi\u00E8ce existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible.";
constexpr wchar_t kPartFilter[] = L"Fichiers Pi\u00E8ce (*.SLDPRT)|*.SLDPRT|";
constexpr wchar_t kPartExtension[] = L"SLDPRT";

// The destination folder, with its trailing backslash, on the second line.
std::wstring CompactedMessage(const std::wstring& destinationPath) {
  return L"Fichier compact\u00E9 avec succ\u00E8s dans le dossier\n" + FolderOfPath(destinationPath);
}

std::wstring CopyNotSavedMessage(const std::wstring& destinationPath) {
  return L"Le fichier compact\u00E9 n'a pas pu \u00EAtre enregistr\u00E9 :\n" + destinationPath +
         L"\nLa pi\u00E8ce ouverte est rest\u00E9e telle qu'elle \u00E9tait.";
}

// The user's choice of a path for the copy, refused when something is there
// already (the source included): no replacement is ever offered. Cancel
// gives nothing and shows nothing.
std::optional<std::wstring> ChooseDestination(const std::wstring& documentPath) {
  std::optional<std::wstring> candidate = AskSavePath(kPartFilter, kPartExtension, FileNameOfPath(documentPath));
  if (!candidate) return std::nullopt;
  // The source is refused also when another name for it would let it pass
  // the existence test.
  if (!FileIsAbsent(FolderOfPath(*candidate), FileNameOfPath(*candidate)) || IsSameFile(*candidate, documentPath)) {
    ShowMessage(kDestinationTakenMessage);
    return std::nullopt;
  }
  return candidate;
}

// 1. The active document, which must be a part; 2. its destination;
// 3. the envelope; 4. the copy saved; 5. the source opened again; 6. told.
void CompactActivePart() {
  const HostApplication host = CommandHost();
  const ModelDocument document = host.ActiveDocument();
  if (!document) {
    ShowMessage(kNoActiveDocumentMessage);
    return;
  }
  const std::wstring documentPath = document.DocumentPath();
  if (document.DocumentKind() != kPartDocumentKind) return;

  const std::optional<std::wstring> destinationPath = ChooseDestination(documentPath);
  if (!destinationPath) return;

  document.SetDocumentFlag(false);
  // Whatever the envelope step reports (already compacted, no sketch), the
  // copy is saved all the same.
  const int added = BuildEnvelope(document.get(), document, 1);
  const bool saved = document.SaveToPath(*destinationPath);
  if (!saved && added) {
    // The document still stands for the source: a later save by the user
    // would write the envelope into it. Take the envelope out again; the
    // user's own unsaved changes stay.
    if (RemoveEnvelope(document.get(), document)) document.RebuildModel();
  }
  // From here on the open document stands for the copy (when saved); the
  // source comes back as a document of its own.
  host.OpenDocument(documentPath, kPartDocumentKind);
  ShowMessage(saved ? CompactedMessage(*destinationPath) : CopyNotSavedMessage(*destinationPath));
}

void DecompactActivePart() {
  const ModelDocument document = CommandHost().ActiveDocument();
  if (!document) {
    ShowMessage(kNoActiveDocumentMessage);
    return;
  }
  if (document.DocumentKind() != kPartDocumentKind) return;
  // A part without the markers is rebuilt all the same.
  RemoveEnvelope(document.get(), document);
  document.RebuildModel();
}

}  // namespace

extern "C" void CompacterPart() { RunCommand(CompactActivePart); }
extern "C" void DeCompacterPart() { RunCommand(DecompactActivePart); }
