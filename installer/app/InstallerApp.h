#pragma once
// The application: runs the installer dialog once and ends with it.
namespace installer {

class InstallerApp {
 public:
  // Runs the dialog modally; returns FALSE so the program ends when the
  // dialog has closed, with no message loop of its own.
  int InitInstance();
};

}  // namespace installer
