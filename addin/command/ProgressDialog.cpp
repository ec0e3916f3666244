#include "command/ProgressDialog.h"

#include "Messages.h"

namespace zelm {

// Without an owner window, as the add-in's other dialogs: the run keeps the
// host's windows disabled itself. Each update below waits until the
// dialog's thread has taken it in (Wine sends it a message: about a
// millisecond under Wine, three a file: bench/README.md), so the dialog
// shows what the command is doing, never a file it has left.
ProgressDialog::ProgressDialog(const wchar_t* title) {
  ComRef<IProgressDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IProgressDialog,
                              dialog.PutVoid())))
    return;
  dialog->SetTitle(title);
  dialog->SetCancelMsg(messages::kStoppingAfterThisFile, nullptr);
  if (FAILED(dialog->StartProgressDialog(nullptr, nullptr, PROGDLG_NORMAL | PROGDLG_AUTOTIME | PROGDLG_NOMINIMIZE,
                                         nullptr)))
    return;
  dialog_ = std::move(dialog);
}

void ProgressDialog::ShowFile(size_t number, size_t total, const std::wstring& path) {
  if (!dialog_) return;
  const std::wstring position = messages::FileOfFiles(number, total);
  dialog_->SetLine(1, path.c_str(), TRUE, nullptr);  // shortened with "..." where it does not fit
  dialog_->SetLine(2, position.c_str(), FALSE, nullptr);
  // The files before this one are done: the bar and the time left count them.
  dialog_->SetProgress64(number - 1, total);
}

bool ProgressDialog::CancelRequested() const { return dialog_ && dialog_->HasUserCancelled(); }

void ProgressDialog::Close() noexcept {
  if (!dialog_) return;
  dialog_->StopProgressDialog();
  dialog_.Reset();
}

}  // namespace zelm
