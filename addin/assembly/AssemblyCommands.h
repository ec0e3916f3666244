#pragma once
// The assembly menu's two commands (rows of frame/CommandTable.h).
#include "command/CommandContext.h"

namespace zelm {

// "Compacter": fills a folder the user chooses with a copy of the active
// assembly and of every file its component tree references: the assembly
// files unchanged, every part with the envelope. No source file is written.
// The source assembly is open again at the end.
Outcome CompactActiveAssembly(CommandContext& context);

// "Décompacter": takes the envelope out of every part file of the active
// assembly, in place, and saves it. Assembly files are walked but never
// opened or saved.
Outcome DecompactActiveAssembly(CommandContext& context);

}  // namespace zelm
