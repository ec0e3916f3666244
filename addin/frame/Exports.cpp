// The library entry and the functions the host calls by name (written into
// the library's .def from frame/CommandTable.h). No C++ exception may leave
// any of them into the host.
#include <windows.h>

#include "frame/AddinApp.h"
#include "frame/CommandBarrier.h"
#include "frame/CommandTable.h"

namespace zelm {
namespace {

constexpr int kStarted = 97001;
constexpr int kNotStarted = -1;

// The library's own module, as the loader hands it to DllMain.
HMODULE libraryModule = nullptr;

// The add-in object, made at the first call of any export and never
// destroyed: at the process's end the library is unloaded under the loader
// lock, which forbids calling into the host to give its references back.
AddinApp& TheAddin() {
  static AddinApp* const addin = new AddinApp(libraryModule);
  return *addin;
}

void RunExportedCommand(CommandFunction command) noexcept {
  RunCommand([command] { TheAddin().RunMenuCommand(command); });
}

}  // namespace
}  // namespace zelm

// There is no framework to register with: the add-in is plain Win32/COM, so
// process attach only remembers the module handle, and process detach has
// nothing to undo.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    zelm::libraryModule = instance;
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
    zelm::AddinApp& addin = zelm::TheAddin();
    if (!addin.HasStarted()) addin.Start();
    return addin.StaysLoaded() ? zelm::kStarted : zelm::kNotStarted;
  } catch (...) {
    return zelm::kNotStarted;
  }
}

extern "C" void AboutTessora() {
  zelm::RunCommand([] { zelm::TheAddin().ShowAbout(); });
}

// One export per row of the command table, which runs that row's command.
#define ZELM_DEFINE_EXPORT(exportName, label, documentKind, run) \
  extern "C" void exportName() { zelm::RunExportedCommand(&zelm::run); }
ZELM_MENU_COMMANDS(ZELM_DEFINE_EXPORT)
#undef ZELM_DEFINE_EXPORT
