// The functions the host calls by name (listed in ZELM_Compact.def).
#include <windows.h>

#include "frame/AddinApp.h"

extern "C" int InitUserDLL3() {
  try {
    theAddinApp = new AddinApp();
    return theAddinApp->StartAddin() ? 97001 : -1;
  } catch (...) {
    return -1;
  }
}
