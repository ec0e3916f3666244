#pragma once
// What both assembly commands start from: the active assembly checked, a
// destination asked for (compaction only) and checked, and the assembly's
// files listed (AssemblyWalk.h). The user is told why when it stops.
#include <optional>
#include <string>

#include "assembly/PathList.h"
#include "command/CommandContext.h"

namespace zelm {

// "Compacter" asks for a destination, "Décompacter" does not.
enum class Destination { Ask, None };

// The files one assembly command works through: entry 0 the assembly
// itself, then its tree; and the destination chosen (empty when none was
// asked for).
struct AssemblyFiles {
  PathList files;
  std::wstring destinationPath;
};

// Checks the active document (an assembly), asks for the destination when
// wanted, lists the tree, checks that no copy would land on a source, and
// closes the assembly. Nothing when it stops, having said why; a refused
// destination leaves the assembly open.
std::optional<AssemblyFiles> CollectAssemblyFiles(CommandContext& context, Destination destination);

}  // namespace zelm
