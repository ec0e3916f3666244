#include "responder/FileDialogRequest.h"

#include <commdlg.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace hostsim::dialogs {
namespace {

// Wine's Explorer-style file dialog keeps its state in the window property
// "FileOpenDlgInfos". The state starts with the caller's OPENFILENAME pointer
// followed by a BOOL that tells whether the caller used the wide (W) or the
// 8-bit (A) entry point; only those two leading fields are relied on, and the
// pointed-to structure is checked by its size before it is read. Windows has
// no such property, so the fields then stay unknown and the caller falls
// back to what the dialog's controls show.
struct WineFileDialogState {
  void* callerRequest;
  BOOL unicode;
};
constexpr wchar_t kWineStateProperty[] = L"FileOpenDlgInfos";

std::wstring widen(const char* text) {
  if (!text) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return {};
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  wide.resize(length - 1);
  return wide;
}

std::string filterAsNarrowText(const char* filter) {
  std::string text;
  if (!filter) return text;
  for (const char* entry = filter; *entry; entry += lstrlenA(entry) + 1) {
    text += entry;
    text += '|';
  }
  return text;
}

bool isKnownSize(DWORD size, DWORD full, DWORD version400) {
  return size == full || size == version400;
}

}  // namespace

std::wstring filterAsText(const wchar_t* filter) {
  std::wstring text;
  if (!filter) return text;
  for (const wchar_t* entry = filter; *entry; entry += lstrlenW(entry) + 1) {
    text += entry;
    text += L'|';
  }
  return text;
}

bool readFileDialogRequest(HWND dialog, FileDialogRequest& request) {
  DWORD owner = 0;
  GetWindowThreadProcessId(dialog, &owner);
  if (owner != GetCurrentProcessId()) return false;
  const auto* state = static_cast<const WineFileDialogState*>(GetPropW(dialog, kWineStateProperty));
  if (!state || !state->callerRequest) return false;

  // The dialog waits for our answer, so its state and the caller's structure
  // stay alive while they are read here.
  if (state->unicode) {
    const auto* ofn = static_cast<const OPENFILENAMEW*>(state->callerRequest);
    if (!isKnownSize(ofn->lStructSize, sizeof(OPENFILENAMEW), OPENFILENAME_SIZE_VERSION_400W))
      return false;
    request.filter = filterAsText(ofn->lpstrFilter);
    request.defaultExtension = ofn->lpstrDefExt ? ofn->lpstrDefExt : L"";
    if (ofn->lpstrFile) request.initialName.assign(ofn->lpstrFile, wcsnlen(ofn->lpstrFile, ofn->nMaxFile));
    request.flags = ofn->Flags;
    return true;
  }
  const auto* ofn = static_cast<const OPENFILENAMEA*>(state->callerRequest);
  if (!isKnownSize(ofn->lStructSize, sizeof(OPENFILENAMEA), OPENFILENAME_SIZE_VERSION_400A))
    return false;
  request.filter = widen(filterAsNarrowText(ofn->lpstrFilter).c_str());
  request.defaultExtension = widen(ofn->lpstrDefExt);
  if (ofn->lpstrFile)
    request.initialName = widen(std::string(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile)).c_str());
  request.flags = ofn->Flags;
  return true;
}

}  // namespace hostsim::dialogs
