#pragma once
// The shell's progress dialog (IProgressDialog) while a command works
// through a list of files: its title, the file being handled, "n sur N",
// the bar, the time left (the dialog estimates it from the bar) and the
// system's cancel button. The dialog draws and takes its clicks on a thread
// of its own, so it stays live while the host's thread is busy with a file;
// the command asks between two files whether the user wants it to stop.
//
// One owner of the dialog: shown by the constructor, taken down by Close or
// the destructor, on every way out. When the system cannot make it, the
// command runs without it: nothing is shown and nothing is ever cancelled.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "host/ComRef.h"

namespace zelm {

class ProgressDialog {
 public:
  explicit ProgressDialog(const wchar_t* title);
  ~ProgressDialog() { Close(); }
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;

  // File `number` of `total` (counted from 1) is the one being handled.
  void ShowFile(size_t number, size_t total, const std::wstring& path);
  // The user asked to stop: the cancel button, or the dialog's close box.
  bool CancelRequested() const;
  void Close() noexcept;

 private:
  ComRef<IProgressDialog> dialog_;
};

}  // namespace zelm
