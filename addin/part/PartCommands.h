#pragma once
// The part menu's two commands (rows of frame/CommandTable.h), and the
// envelope's building as the user hears it, which the assembly compaction
// shares.
#include "command/CommandContext.h"
#include "part/Envelope.h"

namespace zelm {

// "Compacter": saves a compacted copy of the active part under a path the
// user chooses. The source file is never written: the envelope only goes
// into the document that is saved to the new path, and the source is opened
// again afterwards.
Outcome CompactActivePart(CommandContext& context);

// "Décompacter": removes the envelope from the active part and has the host
// rebuild it, which brings the part's own body back. The change stays in the
// open document; nothing is saved.
Outcome DecompactActivePart(CommandContext& context);

// Builds the envelope and tells the user what it meets, as it meets it: each
// side of the rectangle the host refuses, no sketch opened, or the part
// already compacted (told only when `announceAlreadyCompacted`).
EnvelopeOutcome BuildEnvelopeAndTell(const ModelDocument& document, bool announceAlreadyCompacted);

}  // namespace zelm
