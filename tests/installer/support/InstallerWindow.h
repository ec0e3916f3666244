#pragma once
// Drives the real Dravik_Installer.exe from the test: starts it in a
// distribution folder, finds its dialog, reads and clicks its controls. A
// DialogResponder watching the installer's process records and answers its
// message boxes.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "DialogResponderGTest.h"

namespace installer_test {

constexpr const char kInstallerProgram[] = "T:\\Dravik_Installer.exe";

class InstallerWindow {
 public:
  // Starts the installer with `folder` as its current directory and waits
  // (up to 20 s) for its dialog; the test fails when it does not appear.
  explicit InstallerWindow(const std::string& folder);
  // Ends the installer if it still runs (Quitter, then by force).
  ~InstallerWindow();
  InstallerWindow(const InstallerWindow&) = delete;
  InstallerWindow& operator=(const InstallerWindow&) = delete;

  bool started() const { return dialog_ != nullptr; }
  HWND dialog() const { return dialog_; }
  DWORD processId() const { return process_.dwProcessId; }

  // Waits until the start-up search is over: an action button is enabled or
  // a message was shown. False on timeout.
  bool waitForSearch(DWORD timeoutMs = 60000);

  bool isEnabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog_, id)) != FALSE; }
  bool isVisible(int id) const { return IsWindowVisible(GetDlgItem(dialog_, id)) != FALSE; }
  bool isChecked(int id) const;
  std::string text(int id) const;  // the control's text, 8-bit as the program has it
  std::string title() const;

  // Clicks a button (BM_CLICK) and returns once the installer has handled
  // the click, message boxes included; false when that took over 30 s.
  bool click(int id);

  // The texts and captions of the message boxes shown so far, 8-bit.
  std::vector<std::string> messages() const;
  std::vector<std::string> captions() const;

  // Waits for the program to end; its exit code, or -1 on timeout.
  long waitForExit(DWORD timeoutMs);

  // Top-level dialogs of the installer other than its main one, e.g. the
  // about box.
  std::vector<HWND> otherDialogs() const;

 private:
  PROCESS_INFORMATION process_{};
  HWND dialog_ = nullptr;
  std::unique_ptr<testsupport::CheckedDialogResponder> responder_;
};

std::string WindowText(HWND window);
// Wide text, as the responder records it, in the installer's Windows-1252.
std::string ToCodePage1252(const std::wstring& text);

}  // namespace installer_test
