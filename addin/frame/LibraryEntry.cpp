// The library entry the system loader calls.
//
// There is no framework to register with: the add-in is plain Win32/COM, so
// process attach only remembers the module handle, and process detach has
// nothing to undo. In particular the add-in application object, its host
// connection and its event sink are deliberately left alone at detach: they
// live until the process ends, and the loader lock held here forbids calling
// into the host anyway.
#include "frame/LibraryEntry.h"

namespace {
HMODULE libraryModule = nullptr;
}

HMODULE LibraryModule() noexcept { return libraryModule; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    libraryModule = instance;
    // Thread attach and detach have nothing to do; spare the loader the calls.
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
