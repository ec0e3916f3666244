// The library entry and the functions the host calls by name (listed in
// ZELM_Compact.def). No C++ exception may leave any of them into the host.
#include <windows.h>

#include "frame/AddinAboutDialog.h"
#include "frame/AddinApp.h"
#include "frame/CommandBarrier.h"

namespace {
constexpr int kStarted = 97001;
constexpr int kNotStarted = -1;

HMODULE libraryModule = nullptr;
}  // namespace

HMODULE LibraryModule() noexcept { return libraryModule; }

// There is no framework to register with: the add-in is plain Win32/COM, so
// process attach only remembers the module handle, and process detach has
// nothing to undo. The add-in application object, its host connection and
// its event sink are deliberately left alone at detach: they live until the
// process ends, and the loader lock held here forbids calling into the host.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    libraryModule = instance;
    // Thread attach and detach have nothing to do; spare the loader the calls.
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

// The host calls this once after loading the library. A second call (the
// same library loaded again under its own name) finds the add-in started and
// answers as the first call did, rather than advising a second sink.
extern "C" int InitUserDLL3() {
  try {
    if (theAddinApp) return theAddinApp->ownModule ? kStarted : kNotStarted;
    theAddinApp = new AddinApp();
    return theAddinApp->StartAddin() ? kStarted : kNotStarted;
  } catch (...) {
    return kNotStarted;
  }
}

// Shows the about box, with the template and bitmap of the add-in's own
// library. Before InitUserDLL3 (no application object) the library's own
// module is used directly.
extern "C" void AboutTessora() {
  RunCommand([] {
    if (!theAddinApp) {
      AddinAboutDialog(LibraryModule()).DoModal();
      return;
    }
    theAddinApp->UseOwnResources();
    struct Restore {
      ~Restore() { theAddinApp->RestoreResources(); }
    } restore;
    AddinAboutDialog(CurrentResourceModule()).DoModal();
  });
}
