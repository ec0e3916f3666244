// The shell's progress dialog (IProgressDialog) as the rest of its process
// sees it: a top-level dialog with a progress bar, on a thread of its own
// (a walk of the caller's thread windows does not find it; one of the
// process's windows does). Under Wine its children are an animation, three
// static lines (the caller's lines 1 and 2, then the time left, or once
// cancelled the caller's cancel message, the two lines above it emptied), the
// bar and the cancel button. Every call that needs the dialog's thread has a
// timeout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hostsim::dialogs {

bool isProgressDialog(HWND dialog);
// The visible progress dialog of the process, or null.
HWND findProgressDialog(DWORD processId);

struct ProgressView {
  std::wstring title;
  std::vector<std::wstring> lines;  // the static lines, top to bottom
  std::wstring button;              // the cancel button's label, the system's
};
ProgressView readProgressDialog(HWND dialog);

// Clicks the cancel button as a user does (BM_CLICK, sent): the dialog has
// taken the click when it returns true.
bool clickProgressCancel(HWND dialog);

}  // namespace hostsim::dialogs
