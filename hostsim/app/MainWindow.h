// The simulator's main window: a menu bar with the File menu and the menus
// add-ins added for the kind of the active document, the list of open
// documents (double-click activates one) and, beside it, a picture of the
// active part's body.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/MenuLayout.h"
#include "core/Simulator.h"

namespace hostsim {

class MainWindow {
 public:
  explicit MainWindow(Simulator& simulator);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  bool create(int show);
  int run();  // the message loop, until the window closes

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(int id, int notification);
  void refresh();  // menus, document list, title and picture follow the simulator
  void layout(int width, int height);
  void paint();
  HMENU buildMenuBar();
  void appendNodes(HMENU menu, const std::vector<MenuNode>& nodes);
  void openWithDialog();
  void closeActive();

  Simulator& simulator_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  RECT pictureArea_{};  // right of the list
  std::vector<std::wstring> commandItems_;  // item text by command id - kFirstAddinCommand
  std::vector<std::wstring> listedNames_;  // of the listed documents, in list order
};

}  // namespace hostsim
