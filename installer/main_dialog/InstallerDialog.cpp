#include "InstallerDialog.h"

#include "../about_dialog/AboutDialog.h"
#include "../app/MessageBox.h"
#include "../core/HostSearch.h"
#include "../core/Messages.h"
#include "../resources/resource.h"

namespace installer {
namespace {

constexpr UINT_PTR kStartupTimer = 1;
constexpr UINT kStartupDelayMs = 100;

std::string LoadResourceString(UINT id) {
  char text[256] = {};
  const int length = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return std::string(text, length > 0 ? length : 0);
}

}  // namespace

InstallerDialog::InstallerDialog()
    : ModalDialog(IDD_INSTALLER, nullptr),
      appIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APPLICATION_ICON))),
      showMessage([this](const std::string& text) { ShowMessage(window(), text); }) {}

BOOL InstallerDialog::OnInitDialog() {
  AddAboutEntryToSystemMenu();
  SendMessageA(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
  SendMessageA(window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));

  SendMessageA(item(IDC_WINDOWS_95), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(item(IDC_WINDOWS_NT), BM_SETCHECK, BST_UNCHECKED, 0);
  ntSelected = 0;

  addinName = LoadResourceString(IDS_ADDIN_NAME);
  SetWindowTextA(window(), ("Installation de " + addinName).c_str());
  addinNameBuffer.assign(addinName.c_str());

  // The search blocks the dialog's thread; a timer lets the dialog appear
  // before it starts.
  SetTimer(window(), kStartupTimer, kStartupDelayMs, nullptr);
  return TRUE;
}

void InstallerDialog::AddAboutEntryToSystemMenu() {
  const HMENU systemMenu = GetSystemMenu(window(), FALSE);
  if (systemMenu == nullptr) return;
  const std::string aboutEntry = LoadResourceString(IDS_ABOUTBOX);
  if (aboutEntry.empty()) return;
  AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutEntry.c_str());
}

void InstallerDialog::OnStartupTick() {
  KillTimer(window(), kStartupTimer);  // the search runs once per program run
  if (!FindHostFolder(hostFolder)) {
    showMessage(messages::kHostNotFound);
    return;
  }
  LoadScript(scriptEntries);
  ShowInstalledState(IsAddinInstalled(hostFolder.c_str(), addinNameBuffer.c_str()) != 0);
}

void InstallerDialog::ShowInstalledState(bool installed) {
  EnableWindow(item(IDC_INSTALL), installed ? FALSE : TRUE);
  EnableWindow(item(IDC_UNINSTALL), installed ? TRUE : FALSE);
}

void InstallerDialog::OnInstall() {
  if (procedures.InstallAddin(addinNameBuffer.c_str(), addinName, ntSelected)) ShowInstalledState(true);
}

void InstallerDialog::OnUninstall() {
  if (procedures.UninstallAddin(addinNameBuffer.c_str(), addinName)) ShowInstalledState(false);
}

void InstallerDialog::OnCommand(int id, int notification) {
  switch (id) {
    case IDC_INSTALL:
      OnInstall();
      break;
    case IDC_UNINSTALL:
      OnUninstall();
      break;
    case IDC_WINDOWS_95:
      ntSelected = 0;
      break;
    case IDC_WINDOWS_NT:
      ntSelected = 1;
      break;
    case IDC_KILL_MASTER:
      break;
    default:
      ModalDialog::OnCommand(id, notification);
  }
}

bool InstallerDialog::OnSystemCommand(WPARAM command) {
  if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
  AboutDialog(window()).DoModal();
  return true;
}

bool InstallerDialog::OnPaint() {
  if (!IsIconic(window())) return false;
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window(), &paint);
  SendMessageA(window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, appIcon);
  EndPaint(window(), &paint);
  return true;
}

INT_PTR InstallerDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
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
      return reinterpret_cast<INT_PTR>(appIcon);
    default:
      return FALSE;
  }
}

}  // namespace installer
