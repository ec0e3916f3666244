#pragma once
// The part menu's two commands (rows of frame/CommandTable.h), and what the
// envelope's building has to tell the user, which the assembly compaction
// tells too.
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

// One message for each thing building the envelope met, in the order it met
// them: the part already compacted (told only when `announceAlreadyCompacted`),
// no sketch opened, each side of the rectangle the host refused.
void TellEnvelopeSteps(const EnvelopeResult& envelope, bool announceAlreadyCompacted);

}  // namespace zelm
