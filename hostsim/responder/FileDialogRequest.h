// Reads what the code under test asked its save-file dialog for: the filter,
// the default extension, the initial file name and the option flags.
#pragma once

#include <windows.h>

#include <string>

namespace hostsim::dialogs {

struct FileDialogRequest {
  std::wstring filter;  // the double-NUL list, each NUL shown as '|'
  std::wstring defaultExtension;
  std::wstring initialName;
  DWORD flags = 0;
};

// Only for a dialog of the current process whose state is readable (see the
// .cpp); false otherwise.
bool readFileDialogRequest(HWND dialog, FileDialogRequest& request);

// The double-NUL filter list with every NUL shown as '|'.
std::wstring filterAsText(const wchar_t* filter);

}  // namespace hostsim::dialogs
