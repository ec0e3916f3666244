#pragma once
// The add-in's menu commands, one row each: the name the host knows it by
// (an export of the library, which its menu entry's callback names), its
// menu label, the kind of document whose menu shows it, and the function
// that runs it. A new command is one row here and its function.
//
// The rows are read in three places: kMenuCommands below, from which the
// menus are built; frame/Exports.cpp, which defines one export per row; and
// addin/CMakeLists.txt, which writes the library's .def from the names (so
// keep one row a line, beginning with "ROW(").
#include "Messages.h"
#include "assembly/AssemblyCommands.h"
#include "command/CommandContext.h"
#include "part/PartCommands.h"

// clang-format off
#define ZELM_MENU_COMMANDS(ROW) \
  ROW(CompacterPart,   messages::kCompactLabel,   kPartDocumentKind,     CompactActivePart)       \
  ROW(DeCompacterPart, messages::kDecompactLabel, kPartDocumentKind,     DecompactActivePart)     \
  ROW(CompacterAsm,    messages::kCompactLabel,   kAssemblyDocumentKind, CompactActiveAssembly)   \
  ROW(DeCompacterAsm,  messages::kDecompactLabel, kAssemblyDocumentKind, DecompactActiveAssembly)
// clang-format on

namespace zelm {

struct MenuCommand {
  const wchar_t* exportName;
  const wchar_t* label;
  long documentKind;
  CommandFunction run;
};

// In menu order: each kind's entries come in the order of its rows.
#define ZELM_MENU_COMMAND(exportName, label, documentKind, run) MenuCommand{L"" #exportName, label, documentKind, &run},
inline constexpr MenuCommand kMenuCommands[] = {ZELM_MENU_COMMANDS(ZELM_MENU_COMMAND)};
#undef ZELM_MENU_COMMAND

}  // namespace zelm
