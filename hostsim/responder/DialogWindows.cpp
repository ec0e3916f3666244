#include "responder/DialogWindows.h"

#include <utility>

namespace hostsim::dialogs {
namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr wchar_t kDialogClass[] = L"#32770";

bool hasClass(HWND window, const wchar_t* expected) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return lstrcmpiW(name, expected) == 0;
}

// Without SMTO_ABORTIFHUNG: Wine takes a thread that has not asked for a
// message in 5 s for hung, and then fails the send at once, without waiting.
// A dialog whose set-up ran that long on a busy machine is just being shown:
// its texts read empty, though it answers a moment later.
bool sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     DWORD_PTR* result) {
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, kSendTimeoutMs, result) != 0;
}

bool isPushButton(HWND control) {
  const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
  return hasClass(control, L"Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// A message box holds its text in the static 0xFFFF, maybe an icon static,
// and push buttons with the standard answer ids (IDOK up to IDCONTINUE) and
// nothing else; Wine destroys the buttons that the box type does not use.
// An application dialog (an installer's main window, an About box) has
// other controls or its own button ids, and so is not taken for a box.
bool looksLikeMessageBox(HWND dialog) {
  HWND text = GetDlgItem(dialog, kMessageTextId);
  if (!text || !hasClass(text, L"Static")) return false;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (hasClass(child, L"Static")) continue;
    const int id = GetDlgCtrlID(child);
    if (!isPushButton(child) || id < IDOK || id > IDCONTINUE) return false;
  }
  return true;
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
  if (GetDlgItem(dialog, kFileNameId) && GetDlgItem(dialog, kFileTypeId)) return DialogKind::SaveFile;
  return looksLikeMessageBox(dialog) ? DialogKind::MessageBox : DialogKind::Other;
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
    if (IsWindowVisible(child) && isPushButton(child)) buttons.push_back(child);
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

}  // namespace hostsim::dialogs
