#include "frame/Menus.h"

#include "frame/AddinApp.h"

bool partMenusInstalled = false;
bool assemblyMenusInstalled = false;

namespace {

// "Item@Menu" paths name the host's "Outils" menu as the parent.
constexpr wchar_t kMenu[] = L"Compression@&Outils";
constexpr long kTopMenuPosition = 0;
constexpr long kLastPosition = -1;

struct MenuCallbacks {
  const wchar_t* compact;
  const wchar_t* decompact;
};

// The host answers whether it took each entry; a refused entry is not
// retried, so the answers are not looked at (MenuFrame reads none).
void InstallEntries(const MenuFrame& frame, const MenuCallbacks& callbacks) {
  frame.AddTopMenu(kMenu, kTopMenuPosition);
  frame.AddMenuEntry(kMenu, L"Compacter", kLastPosition, callbacks.compact);
  frame.AddMenuEntry(kMenu, L"Décompacter", kLastPosition, callbacks.decompact);
}

}  // namespace

void InstallPartMenus(const MenuFrame& frame) {
  InstallEntries(frame, {L"ZELM_Compact@CompacterPart", L"ZELM_Compact@DeCompacterPart"});
}

void InstallAssemblyMenus(const MenuFrame& frame) {
  InstallEntries(frame, {L"ZELM_Compact@CompacterAsm", L"ZELM_Compact@DeCompacterAsm"});
}

void InstallMenus() {
  const HostApplication host = CommandHost();

  // The frame is asked for on every pass, even when both sets are in.
  MenuFrame frame = host.GetMenuFrame();
  ModelDocument document = host.ActiveDocument();
  if (!document) return;

  long kind = document.DocumentKind();
  if (kind == kPartDocumentKind && !partMenusInstalled) {
    InstallPartMenus(frame);
    partMenusInstalled = true;
  } else if (kind == kAssemblyDocumentKind && !assemblyMenusInstalled) {
    InstallAssemblyMenus(frame);
    assemblyMenusInstalled = true;
  }
  // Locals go in reverse order: the document first, then the frame.
}
