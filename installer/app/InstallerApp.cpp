#include "InstallerApp.h"

#include <windows.h>

#include "../main_dialog/InstallerDialog.h"

namespace installer {

int InstallerApp::InitInstance() {
  // The dialogs host no ActiveX controls, and the raised control look is the
  // platform's own: there is nothing to switch on before the dialog runs.
  InstallerDialog dialog;
  dialog.DoModal();  // its result is not used
  return FALSE;
}

}  // namespace installer

namespace {
installer::InstallerApp theInstallerApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    theInstallerApp.InitInstance();
  } catch (...) {
    return 1;
  }
  return 0;
}
