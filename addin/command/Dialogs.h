#pragma once
// The add-in's modal dialogs: its messages and the save dialog of the
// compaction commands. None of them names an owner window; instead, while
// one is up, every other window of the host's thread is disabled, so the
// user cannot start a second command (or close a document) in the middle of
// the first. The windows come back on every way out.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

// A modal box with the text, one OK button and no help context.
void ShowMessage(std::wstring_view text);

// The system's save-file dialog: no owner, no starting folder, no overwrite
// prompt (the commands refuse existing files themselves), only
// OFN_HIDEREADONLY. `filter` is written the way people read it, entries and
// patterns separated by "|" and the list closed by a final "|"
// ("Texte (*.txt)|*.txt|"). The full path chosen, or nothing when the
// dialog ends other than by OK.
std::optional<std::wstring> AskSavePath(std::wstring_view filter, const wchar_t* defaultExtension,
                                        const std::wstring& initialName);

// Disables the enabled, visible top-level windows of the calling thread for
// its lifetime, and enables them again when it ends.
class ThreadWindowsDisabled {
 public:
  ThreadWindowsDisabled();
  ~ThreadWindowsDisabled();
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

 private:
  std::vector<HWND> disabled_;
};

}  // namespace zelm
