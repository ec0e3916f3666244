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
#include "frame/SourceGuard.h"
#include "part/Envelope.h"
#include "part/PartPutBack.h"
#include "part/PathRules.h"
#include "part/SaveAsCopy.h"

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

// Saved, but the envelope is not whole: no sketch opened, or a marker has
// no name, so decompaction would not find it.
std::wstring SavedWithoutEnvelopeMessage(const std::wstring& destinationPath) {
  return L"Fichier enregistr\u00E9 dans le dossier\n" + FolderOfPath(destinationPath) +
         L"\nmais l'enveloppe n'a pas pu \u00EAtre compl\u00E9t\u00E9e.";
}

constexpr wchar_t kPutBackLine[] = L"La pi\u00E8ce ouverte est rest\u00E9e telle qu'elle \u00E9tait.";

// The open part still stands for its source and holds what the command
// could not take out again.
std::wstring MustNotBeSavedLine(const std::wstring& documentPath) {
  return L"La pi\u00E8ce ouverte contient une enveloppe inachev\u00E9e : ne l'enregistrez pas.\n" + documentPath;
}

std::wstring CopyNotSavedMessage(const std::wstring& destinationPath, const std::wstring& documentPath, bool putBack) {
  return L"Le fichier compact\u00E9 n'a pas pu \u00EAtre enregistr\u00E9 :\n" + destinationPath + L"\n" +
         (putBack ? std::wstring(kPutBackLine) : MustNotBeSavedLine(documentPath));
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

// The user's own part, from the first change on: put back by taking out
// what the command added.
SourceGuard GuardUserPart(const ModelDocument& document, const std::wstring& documentPath) {
  const PartDocument part(DispatchDriver::Borrow(document.get()));
  return SourceGuard([document, part, before = FeatureNamesOf(part)] { return PutPartBack(document, part, before); },
                     kPutBackLine, MustNotBeSavedLine(documentPath));
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
  // Until it stands for the copy, the open part stands for the source: one
  // save by the user would write the envelope into it.
  SourceGuard guard = GuardUserPart(document, documentPath);
  // Whatever the envelope step reports (already compacted, no sketch), the
  // copy is saved all the same.
  const EnvelopeOutcome envelope = BuildEnvelope(document.get(), document, 1);
  const bool saved = SaveAsCopy(document, *destinationPath);
  if (saved) guard.Dismiss();
  // A copy the host did not write leaves the document standing for the
  // source: the envelope comes out again, the user's own changes stay.
  const bool putBack = saved || guard.PutBackNow();
  // From here on the open document stands for the copy (when saved); the
  // source comes back as a document of its own.
  host.OpenDocument(documentPath, kPartDocumentKind);
  if (!saved)
    ShowMessage(CopyNotSavedMessage(*destinationPath, documentPath, putBack));
  else if (envelope == EnvelopeOutcome::NoSketch || envelope == EnvelopeOutcome::Unnamed)
    ShowMessage(SavedWithoutEnvelopeMessage(*destinationPath));
  else
    ShowMessage(CompactedMessage(*destinationPath));
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

extern "C" void CompacterPart() { RunMenuCommand(CompactActivePart); }
extern "C" void DeCompacterPart() { RunMenuCommand(DecompactActivePart); }
