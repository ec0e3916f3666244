// Win32 helpers that find, read and answer standard dialogs, in this process
// or in another one. Every call that needs the dialog's thread has a timeout,
// so a hung dialog cannot block the caller.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hostsim::dialogs {

enum class DialogKind { MessageBox, SaveFile, Other };

// Control ids of the standard dialogs. The file dialog ids are those of the
// Explorer-style dialog that Wine shows, where they are direct children of
// the dialog; the newer Windows dialog nests its controls deeper and is then
// taken for an unknown dialog.
constexpr int kMessageTextId = 0xFFFF;  // the static that holds a box's text
constexpr int kFileNameId = 0x47c;      // cmb13: the file-name box
constexpr int kFileTypeId = 0x470;      // cmb1: the file-type box

// The visible top-level dialog windows of a process.
std::vector<HWND> visibleDialogs(DWORD processId);

DialogKind classify(HWND dialog);

// WM_GETTEXT with a timeout; works across threads and processes.
std::wstring textOf(HWND window);

// The visible push buttons of a dialog, in child order.
std::vector<HWND> visibleButtons(HWND dialog);

// Presses a dialog button the way the dialog sees a click: WM_COMMAND with
// BN_CLICKED, posted so that the caller never waits for the dialog.
void pressButton(HWND dialog, int buttonId);

// Puts a path into the save dialog's file-name box; false on timeout.
bool typeFileName(HWND dialog, const std::wstring& path);

// Asks a dialog to close (WM_CLOSE, which a dialog treats as Cancel).
void askToClose(HWND dialog);

}  // namespace hostsim::dialogs
