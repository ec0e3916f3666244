// The functions the host calls by name (listed in ZELM_Compact.def). No C++
// exception may leave any of them into the host.
#include <windows.h>

#include "frame/AddinAboutDialog.h"
#include "frame/AddinApp.h"
#include "frame/CommandBarrier.h"
#include "frame/LibraryEntry.h"
#include "frame/ResourceModule.h"

namespace {
constexpr int kStarted = 97001;
constexpr int kNotStarted = -1;
}  // namespace

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
