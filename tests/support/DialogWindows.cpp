#include "DialogWindows.h"

#include <utility>

namespace testsupport::dialogs {
namespace {

constexpr UINT kSendTimeoutMs = 1000;
constexpr wchar_t kDialogClass[] = L"#32770";

bool hasClass(HWND window, const wchar_t* expected) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return lstrcmpiW(name, expected) == 0;
}

bool sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     DWORD_PTR* result) {
  return SendMessageTimeoutW(window, message, wParam, lParam,
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs,
                             result) != 0;
}

}  // namespace

std::vector<HWND> visibleDialogs(DWORD processId) {
  std::pair<DWORD, std::vector<HWND>> search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& [pid, found] = *reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window) && hasClass(window, kDialogClass))
          found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return std::move(search.second);
}

DialogKind classify(HWND dialog) {
  // A save dialog has a file-name box (a combo box, or an edit in older
  // templates); a message box has its text static and neither of those.
  if (GetDlgItem(dialog, kFileNameId) && GetDlgItem(dialog, kFileTypeId))
    return DialogKind::SaveFile;
  HWND text = GetDlgItem(dialog, kMessageTextId);
  if (text && hasClass(text, L"Static")) return DialogKind::MessageBox;
  return DialogKind::Other;
}

std::wstring textOf(HWND window) {
  DWORD_PTR length = 0;
  if (!window || !sendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!sendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                       &copied))
    return {};
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

std::vector<HWND> visibleButtons(HWND dialog) {
  std::vector<HWND> buttons;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !hasClass(child, L"Button")) continue;
    const LONG_PTR type = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) buttons.push_back(child);
  }
  return buttons;
}

void pressButton(HWND dialog, int buttonId) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

bool typeFileName(HWND dialog, const std::wstring& path) {
  // WM_SETTEXT on the box (a ComboBoxEx32 in Wine) reaches its edit field.
  HWND box = GetDlgItem(dialog, kFileNameId);
  DWORD_PTR ok = 0;
  return box && sendWithTimeout(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), &ok) &&
         ok;
}

void askToClose(HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }

}  // namespace testsupport::dialogs
