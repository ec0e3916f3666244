#pragma once
// The installer's main dialog: finds the host once it is on screen, then
// offers "Installer" or "Desintaller" for the add-in.
#include <string>

#include "../app/ModalDialog.h"
#include "../core/AddinProcedures.h"
#include "../core/PathBuffer.h"
#include "../core/ScriptFile.h"

namespace installer {

class InstallerDialog : public ModalDialog {
 public:
  InstallerDialog();

 private:
  BOOL OnInitDialog() override;
  void OnCommand(int id, int notification) override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void AddAboutEntryToSystemMenu();
  void OnStartupTick();
  bool OnSystemCommand(WPARAM command);
  bool OnPaint();
  void OnInstall();
  void OnUninstall();
  void ShowInstalledState(bool installed);

  int ntSelected = 0;              // 1 while "Windows NT 4 ou Plus" is checked
  std::string addinName;           // "ZELM_Compact.dll", for messages
  PathBuffer addinNameBuffer;      // the same name, for paths
  PathBuffer hostFolder;           // where sldworks.exe is, ending in "\"
  ScriptEntries scriptEntries;     // the lines of "Script.txt"
  HICON appIcon = nullptr;

  MessageSink showMessage;
  AddinProcedures procedures{hostFolder, scriptEntries, showMessage};
};

}  // namespace installer
