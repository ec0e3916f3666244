#include "frame/Menus.h"

#include <string>

#include "Messages.h"
#include "frame/CommandTable.h"

namespace zelm {
namespace {

// A callback names the library and its export, joined by "@": the host
// calls that export when the user picks the entry.
constexpr wchar_t kCallbackPrefix[] = L"ZELM_Compact@";
constexpr long kTopMenuPosition = 0;
constexpr long kLastPosition = -1;

bool HasCommandsFor(long kind) {
  for (const MenuCommand& command : kMenuCommands)
    if (command.documentKind == kind) return true;
  return false;
}

// The host answers whether it took each entry; a refused entry is not
// retried, so the answers are not looked at (MenuFrame reads none).
void InstallEntries(const MenuFrame& frame, long kind) {
  frame.AddTopMenu(messages::kMenu, kTopMenuPosition);
  for (const MenuCommand& command : kMenuCommands)
    if (command.documentKind == kind)
      frame.AddMenuEntry(messages::kMenu, command.label, kLastPosition, kCallbackPrefix + std::wstring(command.exportName));
}

}  // namespace

void Menus::InstallForActiveDocument() {
  const MenuFrame frame = host_.GetMenuFrame();
  const ModelDocument document = host_.ActiveDocument();
  if (!document) return;

  const long kind = document.DocumentKind();
  if (!HasCommandsFor(kind) || installedKinds_.count(kind)) return;
  InstallEntries(frame, kind);
  installedKinds_.insert(kind);
  // Locals go in reverse order: the document first, then the frame.
}

}  // namespace zelm
