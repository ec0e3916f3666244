#pragma once
// The installer's main dialog: finds the host once it is on screen, then
// offers "Installer" or "Desintaller" for the add-in.
#include <windows.h>

#include <string>

#include "core/AddinProcedures.h"
#include "core/PathBuffer.h"
#include "core/ScriptFile.h"

namespace installer {

class InstallerDialog {
 public:
  InstallerDialog();
  InstallerDialog(const InstallerDialog&) = delete;
  InstallerDialog& operator=(const InstallerDialog&) = delete;

  // Runs the dialog until "Quitter" ends it.
  void DoModal();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void OnInitDialog();
  void OnStartupTick();
  void OnCommand(int id);
  bool OnSystemCommand(WPARAM command);
  bool OnPaint();
  // Offers "Desintaller" when the add-in is installed, else "Installer".
  void ShowInstalledState(bool installed);
  void ShowMessage(const std::string& text) const;

  // The one action the dialog offers: none while it searches and when the
  // host is missing, else the one whose button is enabled.
  enum class Action { None, Install, Uninstall };

  HWND window_ = nullptr;
  Action offered_ = Action::None;
  int ntSelected_ = 0;          // 1 while "Windows NT 4 ou Plus" is checked
  std::string addinName_;       // "ZELM_Compact.dll", for messages
  PathBuffer addinNameBuffer_;  // the same name, for paths
  PathBuffer hostFolder_;       // where sldworks.exe is, ending in "\"
  ScriptEntries scriptEntries_; // the lines of "Script.txt"
  HICON appIcon_ = nullptr;

  MessageSink showMessage_;
  AddinProcedures procedures_{hostFolder_, scriptEntries_, showMessage_};
};

}  // namespace installer
