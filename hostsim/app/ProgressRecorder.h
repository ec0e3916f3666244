// What the shell's progress dialog of this process shows while a command
// runs, noted as a user watching it would: the title, the two lines and the
// button, read each time the host opens a document (a command that works
// through files updates the dialog before it opens the next one). Not one
// line a file: the first view, every 100th and the last are kept.
//
// It runs inside the host's operations (the simulator's change listener),
// on the host's thread; the dialog lives on a thread of its own, so each
// read is a message sent there and answered at once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hostsim {

class ProgressRecorder {
 public:
  static constexpr size_t kEvery = 100;

  // The next dialog's window is written as a PNG file at its `view`-th view.
  void pictureAt(size_t view, std::wstring pngPath);
  // After a document was opened.
  void look();
  // The lines for the transcript since the last call (the last view of a
  // dialog that has gone among them), then forgotten.
  std::vector<std::wstring> take();

 private:
  void keep(const std::wstring& view);

  HWND dialog_ = nullptr;
  size_t views_ = 0;
  std::wstring last_;
  bool lastKept_ = true;
  size_t pictureView_ = 0;
  std::wstring picturePath_;
  std::vector<std::wstring> lines_;
};

}  // namespace hostsim
