#include "app/InstallerDialog.h"

#include "core/HostSearch.h"
#include "core/Messages.h"
#include "resources/resource.h"

namespace installer {
namespace {

constexpr UINT_PTR kStartupTimer = 1;
constexpr UINT kStartupDelayMs = 100;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

std::string LoadResourceString(UINT id) {
  char text[256] = {};
  const int length = LoadStringA(Instance(), id, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

// The program file's name without folder and extension ("Dravik_Installer"):
// the caption of every message box.
std::string ApplicationTitle() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  std::string name(path, length);
  name.erase(0, name.find_last_of("\\/:") + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// The about box has nothing to do but end on its OK button (or Escape).
INT_PTR CALLBACK AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
  EndDialog(window, LOWORD(wParam));
  return TRUE;
}

}  // namespace

InstallerDialog::InstallerDialog()
    : appIcon_(LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_APPLICATION_ICON))),
      showMessage_([this](const std::string& text) { ShowMessage(text); }) {}

void InstallerDialog::DoModal() {
  DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_INSTALLER), nullptr, &InstallerDialog::DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK InstallerDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    reinterpret_cast<InstallerDialog*>(lParam)->window_ = window;
  }
  auto* self = reinterpret_cast<InstallerDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return FALSE;  // nothing may unwind through the dialog manager
  }
}

INT_PTR InstallerDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;  // the dialog manager gives the focus to "Quitter"
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_TIMER:
      if (wParam != kStartupTimer) return FALSE;
      OnStartupTick();
      return TRUE;
    case WM_SYSCOMMAND:
      return OnSystemCommand(wParam) ? TRUE : FALSE;
    case WM_PAINT:
      return OnPaint() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      // One of the messages whose dialog-procedure result is returned as is.
      return reinterpret_cast<INT_PTR>(appIcon_);
    default:
      return FALSE;
  }
}

void InstallerDialog::OnInitDialog() {
  const HMENU systemMenu = GetSystemMenu(window_, FALSE);
  const std::string aboutEntry = LoadResourceString(IDS_ABOUTBOX);
  if (systemMenu != nullptr && !aboutEntry.empty()) {
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutEntry.c_str());
  }
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon_));

  SendDlgItemMessageA(window_, IDC_WINDOWS_95, BM_SETCHECK, BST_CHECKED, 0);
  SendDlgItemMessageA(window_, IDC_WINDOWS_NT, BM_SETCHECK, BST_UNCHECKED, 0);
  ntSelected_ = 0;

  addinName_ = LoadResourceString(IDS_ADDIN_NAME);
  SetWindowTextA(window_, ("Installation de " + addinName_).c_str());
  addinNameBuffer_.Assign(addinName_.c_str());

  // The search blocks the dialog's thread; the timer lets the dialog appear
  // first.
  SetTimer(window_, kStartupTimer, kStartupDelayMs, nullptr);
}

void InstallerDialog::OnStartupTick() {
  KillTimer(window_, kStartupTimer);  // the search runs once per program run
  if (!FindHostFolder(hostFolder_)) {
    ShowMessage(messages::kHostNotFound);
    return;
  }
  LoadScript(scriptEntries_);
  ShowInstalledState(IsAddinInstalled(hostFolder_.Get(), addinNameBuffer_.Get()) != 0);
}

void InstallerDialog::ShowInstalledState(bool installed) {
  offered_ = installed ? Action::Uninstall : Action::Install;
  EnableWindow(GetDlgItem(window_, IDC_INSTALL), installed ? FALSE : TRUE);
  EnableWindow(GetDlgItem(window_, IDC_UNINSTALL), installed ? TRUE : FALSE);
}

void InstallerDialog::ShowMessage(const std::string& text) const {
  MessageBoxA(window_, text.c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void InstallerDialog::OnCommand(int id) {
  switch (id) {
    case IDOK:  // "Quitter"
      EndDialog(window_, IDOK);
      break;
    case IDCANCEL:
      // Escape, Ctrl+Break and a close request from the title bar all arrive
      // here. The cancel control stays disabled, so they are refused; Wine's
      // dialog manager sends the command without looking at the control.
      if (IsWindowEnabled(GetDlgItem(window_, IDCANCEL)))
        EndDialog(window_, IDCANCEL);
      else
        MessageBeep(MB_OK);
      break;
    // The two actions run only while offered: another program can send the
    // command whatever the buttons show, and after a failed search the host
    // folder is only the last drive searched.
    case IDC_INSTALL:
      if (offered_ == Action::Install && procedures_.InstallAddin(addinNameBuffer_.Get(), addinName_, ntSelected_))
        ShowInstalledState(true);
      break;
    case IDC_UNINSTALL:
      if (offered_ == Action::Uninstall && procedures_.UninstallAddin(addinNameBuffer_.Get(), addinName_))
        ShowInstalledState(false);
      break;
    case IDC_WINDOWS_95:
      ntSelected_ = 0;
      break;
    case IDC_WINDOWS_NT:
      ntSelected_ = 1;
      break;
    default:  // "kill master" does nothing
      break;
  }
}

bool InstallerDialog::OnSystemCommand(WPARAM command) {
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;  // the low four bits are the system's own
  DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_ABOUTBOX), window_, AboutDialogProc, 0);
  return true;
}

bool InstallerDialog::OnPaint() {
  if (!IsIconic(window_)) return false;
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window_, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, appIcon_);
  EndPaint(window_, &paint);
  return true;
}

}  // namespace installer
