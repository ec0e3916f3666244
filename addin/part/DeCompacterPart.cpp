// The part command "Décompacter": removes the envelope from the active part
// and has the host rebuild it, which brings the part's own body back. The
// change stays in the open document; nothing is saved.
#include "frame/CommandBarrier.h"
#include "frame/Messages.h"
#include "part/CommandHost.h"
#include "part/Envelope.h"
#include "part/PartMessages.h"

namespace {

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

extern "C" void DeCompacterPart() { RunCommand(DecompactActivePart); }
