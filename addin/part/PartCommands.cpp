#include "part/PartCommands.h"

#include <optional>
#include <string>

#include "Messages.h"
#include "command/Dialogs.h"
#include "command/SourceGuard.h"
#include "part/PartPutBack.h"
#include "part/PathRules.h"
#include "part/SaveAsCopy.h"

namespace zelm {
namespace {

constexpr wchar_t kPartExtension[] = L"SLDPRT";

// The user's choice of a path for the copy, refused when something is there
// already (the source included): no replacement is ever offered. Cancel
// gives nothing and shows nothing.
std::optional<std::wstring> ChooseDestination(const std::wstring& documentPath) {
  std::optional<std::wstring> candidate =
      AskSavePath(messages::kPartFilter, kPartExtension, FileNameOfPath(documentPath));
  if (!candidate) return std::nullopt;
  // The source is refused also when another name for it would let it pass
  // the existence test.
  if (!FileIsAbsent(FolderOfPath(*candidate), FileNameOfPath(*candidate)) || IsSameFile(*candidate, documentPath)) {
    ShowMessage(messages::kPartDestinationTaken);
    return std::nullopt;
  }
  return candidate;
}

// The last word: the copy not written (and what became of the open part),
// saved without a whole envelope, or compacted.
std::wstring CompactionMessage(bool saved, bool putBack, EnvelopeOutcome envelope,
                               const std::wstring& destinationPath, const std::wstring& documentPath) {
  if (!saved)
    return messages::PartCopyNotSaved(
        destinationPath, putBack ? messages::kPartPutBack : messages::PartMustNotBeSaved(documentPath));
  if (LeavesEnvelopeIncomplete(envelope)) return messages::PartSavedWithoutEnvelope(FolderOfPath(destinationPath));
  return messages::PartCompacted(FolderOfPath(destinationPath));
}

}  // namespace

EnvelopeOutcome BuildEnvelopeAndTell(const ModelDocument& document, bool announceAlreadyCompacted) {
  const EnvelopeOutcome outcome = BuildEnvelope(document, [] { ShowMessage(messages::kLineRefused); });
  if (outcome == EnvelopeOutcome::AlreadyCompacted && announceAlreadyCompacted) ShowMessage(messages::kAlreadyCompacted);
  if (outcome == EnvelopeOutcome::NoSketch) ShowMessage(messages::kNoOpenSketch);
  return outcome;
}

// 1. The active document, which must be a part; 2. its destination;
// 3. the envelope; 4. the copy saved; 5. the source opened again; 6. told.
Outcome CompactActivePart(CommandContext& context) {
  const HostApplication& host = context.host;
  const ModelDocument document = host.ActiveDocument();
  if (!document) {
    ShowMessage(messages::kNoActiveDocument);
    return Outcome::Stopped;
  }
  const std::wstring documentPath = document.DocumentPath();
  if (document.DocumentKind() != kPartDocumentKind) return Outcome::Stopped;

  const std::optional<std::wstring> destinationPath = ChooseDestination(documentPath);
  if (!destinationPath) return Outcome::Stopped;

  document.SetDocumentFlag(false);
  // Until it stands for the copy, the open part stands for the source: one
  // save by the user would write the envelope into it. What the command adds
  // is known by the feature names it reads before its first change.
  const PartDocument part = document.AsPart();
  const FeatureNames before = FeatureNamesOf(part);
  SourceGuard guard(context.failureLines, [&] { return PutPartBack(document, part, before); }, messages::kPartPutBack,
                    messages::PartMustNotBeSaved(documentPath));
  // Whatever the envelope step meets (already compacted, no sketch), the copy
  // is saved all the same.
  const EnvelopeOutcome envelope = BuildEnvelopeAndTell(document, true);
  const bool saved = SaveAsCopy(document, *destinationPath);
  if (saved) guard.Dismiss();
  // A copy the host did not write leaves the document standing for the
  // source: the envelope comes out again, the user's own changes stay.
  const bool putBack = saved || guard.PutBackNow();
  // From here on the open document stands for the copy (when saved); the
  // source comes back as a document of its own.
  host.OpenDocument(documentPath, kPartDocumentKind);
  ShowMessage(CompactionMessage(saved, putBack, envelope, *destinationPath, documentPath));
  return Outcome::Done;
}

Outcome DecompactActivePart(CommandContext& context) {
  const ModelDocument document = context.host.ActiveDocument();
  if (!document) {
    ShowMessage(messages::kNoActiveDocument);
    return Outcome::Stopped;
  }
  if (document.DocumentKind() != kPartDocumentKind) return Outcome::Stopped;
  // A part without the markers is rebuilt all the same.
  RemoveEnvelope(document);
  document.RebuildModel();
  return Outcome::Done;
}

}  // namespace zelm
