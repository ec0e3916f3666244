// The program is its dialog: it runs it once and ends when it closes.
#include <windows.h>

#include "app/InstallerDialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The search makes each drive from B: to Z: current in turn. A drive
  // without a medium (a card reader, an empty DVD drive) would stop it there
  // with the system's box asking for a disk; with critical errors failed
  // instead, the drive cannot be made current and is skipped. (Wine never
  // shows that box: a CD-ROM drive without a medium, or a drive whose folder
  // is missing, simply cannot be made current.)
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  installer::InstallerDialog().DoModal();
  return 0;
}
