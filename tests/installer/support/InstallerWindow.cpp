#include "InstallerWindow.h"

namespace installer_test {
namespace {

constexpr DWORD kPollMs = 20;

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

std::vector<HWND> DialogsOf(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<WindowSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (owner == search->processId && strcmp(className, "#32770") == 0 && IsWindowVisible(window))
          search->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::string WindowText(HWND window) {
  char text[1024] = {};
  // Cross-process WM_GETTEXT is marshalled by the system for standard windows.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                           &length))
    return "<no answer>";
  return std::string(text, length);
}

std::string ToCodePage1252(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size, '\0');
  WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
  return bytes;
}

InstallerWindow::InstallerWindow(const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  char commandLine[] = "Dravik_Installer.exe";
  if (!CreateProcessA(kInstallerProgram, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process_)) {
    ADD_FAILURE() << "cannot start " << kInstallerProgram << " in " << folder << ": " << GetLastError();
    return;
  }
  responder_ = std::make_unique<testsupport::CheckedDialogResponder>(process_.dwProcessId);
  for (DWORD waited = 0; waited < 20000 && dialog_ == nullptr; waited += kPollMs) {
    for (HWND window : DialogsOf(process_.dwProcessId))
      if (GetDlgItem(window, 1001) != nullptr) dialog_ = window;
    if (dialog_ == nullptr) Sleep(kPollMs);
  }
  if (dialog_ == nullptr) ADD_FAILURE() << "the installer's dialog did not appear";
}

InstallerWindow::~InstallerWindow() {
  if (process_.hProcess == nullptr) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    for (HWND other : otherDialogs()) PostMessageA(other, WM_COMMAND, IDOK, 0);
    if (dialog_ != nullptr) PostMessageA(dialog_, WM_COMMAND, IDOK, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 5000);
    }
  }
  responder_.reset();
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool InstallerWindow::waitForSearch(DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
    if (isEnabled(1001) || isEnabled(1002) || !responder_->messages().empty()) return true;
    Sleep(kPollMs);
  }
  return false;
}

bool InstallerWindow::isChecked(int id) const {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(GetDlgItem(dialog_, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

std::string InstallerWindow::text(int id) const { return WindowText(GetDlgItem(dialog_, id)); }

std::string InstallerWindow::title() const { return WindowText(dialog_); }

bool InstallerWindow::click(int id) {
  DWORD_PTR result = 0;
  // The click's handler runs inside this call; its message boxes are
  // answered meanwhile by the responder's own thread.
  return SendMessageTimeoutA(GetDlgItem(dialog_, id), BM_CLICK, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

std::vector<std::string> InstallerWindow::messages() const {
  std::vector<std::string> texts;
  for (const auto& record : responder_->messages()) texts.push_back(ToCodePage1252(record.text));
  return texts;
}

std::vector<std::string> InstallerWindow::captions() const {
  std::vector<std::string> texts;
  for (const auto& record : responder_->messages()) texts.push_back(ToCodePage1252(record.caption));
  return texts;
}

long InstallerWindow::waitForExit(DWORD timeoutMs) {
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<long>(code);
}

std::vector<HWND> InstallerWindow::otherDialogs() const {
  std::vector<HWND> others;
  for (HWND window : DialogsOf(process_.dwProcessId))
    if (window != dialog_) others.push_back(window);
  return others;
}

}  // namespace installer_test
