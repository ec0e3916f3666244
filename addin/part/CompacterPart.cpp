// The part command "Compacter": saves a compacted copy of the active part
// under a path the user chooses. The source file is never written: the
// envelope only goes into the document that is saved to the new path, and
// the source is opened again afterwards.
#include <string>

#include "frame/CommandBarrier.h"
#include "frame/Messages.h"
#include "part/ChooseDestination.h"
#include "part/CommandHost.h"
#include "part/Envelope.h"
#include "part/PartMessages.h"
#include "part/PathRules.h"

namespace {

// The confirmation: the destination folder, with its trailing backslash,
// on the second line.
std::wstring CompactedMessage(const std::wstring& destinationPath) {
  std::wstring text = kCompactedFormat;
  text.replace(text.find(L"%s"), 2, FolderOfPath(destinationPath));
  return text;
}

// From here on the open document stands for the compacted copy; the source
// comes back as a document of its own. Neither answer changes what follows.
void SaveCopyAndReopenSource(const HostApplication& host, const ModelDocument& document,
                             const std::wstring& destinationPath, const std::wstring& documentPath) {
  document.SaveToPath(destinationPath);
  host.OpenDocument(documentPath, kPartDocumentKind);
}

void CompactActivePart() {
  const HostApplication host = CommandHost();
  const ModelDocument document = host.ActiveDocument();
  if (!document) {
    ShowMessage(kNoActiveDocumentMessage);
    return;
  }
  const std::wstring documentPath = document.DocumentPath();
  if (document.DocumentKind() != kPartDocumentKind) return;

  const Destination destination = ChooseDestination(documentPath);
  if (!destination.chosen) return;

  document.SetDocumentFlag(false);
  // Whatever the envelope step reports (already compacted, no sketch), the
  // copy is saved and confirmed all the same.
  BuildEnvelope(document.get(), document, 1);
  SaveCopyAndReopenSource(host, document, destination.destinationPath, documentPath);
  ShowMessage(CompactedMessage(destination.destinationPath));
}

}  // namespace

extern "C" void CompacterPart() { RunCommand(CompactActivePart); }
