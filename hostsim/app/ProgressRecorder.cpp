#include "app/ProgressRecorder.h"

#include "app/PngFile.h"
#include "responder/ProgressDialogWindow.h"

namespace hostsim {

void ProgressRecorder::pictureAt(size_t view, std::wstring pngPath) {
  pictureView_ = view;
  picturePath_ = std::move(pngPath);
}

void ProgressRecorder::look() {
  if (!dialog_ || !IsWindow(dialog_)) {
    const HWND found = dialogs::findProgressDialog(GetCurrentProcessId());
    if (found != dialog_) views_ = 0;  // another dialog: its views count from 1
    dialog_ = found;
  }
  if (!dialog_) return;
  const dialogs::ProgressView view = dialogs::readProgressDialog(dialog_);
  // Lines 1 and 2 are the caller's; once cancelled the dialog empties them.
  if (view.lines.size() < 2 || view.lines[1].empty()) return;
  const std::wstring text = view.title + L" | " + view.lines[0] + L" | " + view.lines[1] + L" | [" + view.button + L"]";
  if (text == last_) return;
  last_ = text;
  lastKept_ = false;
  if (++views_ == 1 || views_ % kEvery == 0) keep(text);
  if (views_ == pictureView_ && !picturePath_.empty()) {
    const bool written = writeWindowPicture(picturePath_, dialog_);
    lines_.push_back(L"progress-picture: " + picturePath_ + (written ? L"" : L" failed"));
    picturePath_.clear();
  }
}

std::vector<std::wstring> ProgressRecorder::take() {
  if (!lastKept_ && (!dialog_ || !IsWindow(dialog_) || !IsWindowVisible(dialog_))) keep(last_);
  std::vector<std::wstring> lines;
  lines.swap(lines_);
  return lines;
}

void ProgressRecorder::keep(const std::wstring& view) {
  lines_.push_back(L"progress: " + view);
  lastKept_ = true;
}

}  // namespace hostsim
