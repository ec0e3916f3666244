#include "responder/ProgressDialogWindow.h"

#include "responder/DialogWindows.h"

namespace hostsim::dialogs {
namespace {

constexpr UINT kSendTimeoutMs = 5000;

bool hasClass(HWND window, const wchar_t* expected) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return lstrcmpiW(name, expected) == 0;
}

}  // namespace

bool isProgressDialog(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (hasClass(child, L"msctls_progress32")) return true;
  return false;
}

HWND findProgressDialog(DWORD processId) {
  for (HWND dialog : visibleDialogs(processId))
    if (isProgressDialog(dialog)) return dialog;
  return nullptr;
}

ProgressView readProgressDialog(HWND dialog) {
  ProgressView view{textOf(dialog), {}, textOf(GetDlgItem(dialog, IDCANCEL))};
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (hasClass(child, L"Static")) view.lines.push_back(textOf(child));
  return view;
}

bool clickProgressCancel(HWND dialog) {
  HWND button = GetDlgItem(dialog, IDCANCEL);
  DWORD_PTR ignored = 0;
  return button && SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_BLOCK, kSendTimeoutMs, &ignored) != 0;
}

}  // namespace hostsim::dialogs
