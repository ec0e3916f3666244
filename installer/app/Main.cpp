// The program is its dialog: it runs it once and ends when it closes.
#include <windows.h>

#include "app/InstallerDialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  installer::InstallerDialog().DoModal();
  return 0;
}
