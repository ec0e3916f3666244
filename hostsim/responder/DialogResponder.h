// DialogResponder: answers the message boxes and save-file dialogs that the
// code under test opens, so that tests drive real dialogs without a user.
//
// A watcher thread polls the top-level dialogs ("#32770") of one process
// (this one, or a child process given by id), records what each dialog shows
// and answers it:
//   - a message box is recorded (text and caption) and its button pressed;
//   - a save-file dialog gets the next queued answer (a path typed into the
//     file-name box and OK, or Cancel); with nothing queued it is cancelled
//     and reported as unexpected;
//   - the shell's progress dialog is left alone (ProgressDialogWindow.h
//     reads it and clicks its cancel button);
//   - any other dialog is closed and reported as unexpected, or left to the
//     test when the responder was told so (a child process whose own main
//     window is a dialog).
// Every wait has a timeout, so a test never hangs on a dialog.
//
// The library does not depend on GoogleTest (the host simulator links it);
// DialogResponderGTest.h adds the checks that make a test fail.
//
//   DialogResponder responder;                  // before the code runs
//   responder.queueSavePath(L"C:\\out\\copy");   // for its save dialog
//   runCommand();                                // shows the dialogs
//   EXPECT_EQ(responder.messages().at(0).text, L"...");
//   EXPECT_NO_UNEXPECTED_DIALOGS(responder);
//
// Use one responder per watched process at a time. Under Wine without a
// window manager, closing any window costs about two seconds (Wine waits for
// the window manager's answer); a prefix whose X11 driver has Managed=N does
// not wait.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace hostsim {

struct MessageBoxRecord {
  std::wstring text;     // exactly as shown, line breaks included
  std::wstring caption;  // the window title
  // The MessageBox style the program asked for (MB_OK | MB_ICONEXCLAMATION...),
  // known when dialog_responder_hook.dll lies next to the test program and the
  // box came from a thread that existed when the responder started.
  UINT style = 0;
  bool styleKnown = false;
};

struct SaveDialogRecord {
  // The filter as the caller passed it: the double-NUL list with every NUL
  // shown as '|' ("Parts (*.x)|*.x|"). Empty when it cannot be read.
  std::wstring filter;
  std::wstring defaultExtension;  // empty when none or unreadable
  std::wstring initialName;       // the file name the dialog opened with
  std::wstring fileType;          // the text of the file-type box as shown
  std::wstring caption;           // the dialog's title
  DWORD flags = 0;                // the OPENFILENAME flags, when flagsKnown
  bool flagsKnown = false;        // filter/defaultExtension/flags were read
  std::wstring answer;            // the path typed, or L"cancel"
  bool hadOwner = false;          // the dialog had an owner window
};

// One entry per record, in the order the dialogs were met; `index` points
// into messages(), saveDialogs() or unexpected() by `kind`.
enum class DialogEventKind { MessageBox, SaveDialog, Unexpected };
struct DialogEvent {
  DialogEventKind kind;
  size_t index;
};

// What the responder does with a dialog that is neither a message box nor a
// save-file dialog.
enum class OtherDialogs {
  CloseAndReport,  // close it (WM_CLOSE) and list it in unexpected()
  LeaveAlone,      // the test drives it itself
};

class DialogResponder {
 public:
  static constexpr wchar_t kCancelAnswer[] = L"cancel";

  // Watches the current process; any other dialog is closed and reported.
  DialogResponder();
  // Watches another process, by id (cross-process WM_GETTEXT and WM_COMMAND
  // work for the standard controls). By default its other dialogs, such as
  // a main window that is a dialog, are left to the test. The request of a
  // save dialog (filter, flags...) is only readable in the current process.
  explicit DialogResponder(DWORD processId, OtherDialogs others = OtherDialogs::LeaveAlone);
  ~DialogResponder();                        // stops and joins the watcher

  DialogResponder(const DialogResponder&) = delete;
  DialogResponder& operator=(const DialogResponder&) = delete;

  // Answers for the coming save dialogs, used in the order queued.
  void queueSavePath(std::wstring path);
  void queueSaveCancel();
  size_t pendingSaveAnswers() const;
  // Forgets the answers no dialog took; how many there were.
  size_t dropSaveAnswers();

  std::vector<MessageBoxRecord> messages() const;
  std::vector<SaveDialogRecord> saveDialogs() const;
  // One line per dialog that no test asked for: an unqueued save dialog, a
  // message box with a choice of buttons, an unknown dialog, a dialog that
  // stayed open after its answer.
  std::vector<std::wstring> unexpected() const;
  std::wstring unexpectedReport() const;  // the lines above, one per line
  // All records in the order met, e.g. for a transcript.
  std::vector<DialogEvent> events() const;

  // Wait until at least `count` records exist; false on timeout.
  bool waitForMessages(size_t count, DWORD timeoutMs) const;
  bool waitForSaveDialogs(size_t count, DWORD timeoutMs) const;

  // Stops watching (idempotent); dialogs opened afterwards stay unanswered.
  void stop();

 private:
  // A dialog already answered, kept until its window is gone.
  struct AnsweredDialog {
    ULONGLONG answeredAt = 0;
    bool closeChecked = false;  // left alone, or already forced to close
  };

  void watch();
  void scanOnce();
  bool handleNewDialog(HWND dialog);  // false: left alone
  void answerMessageBox(HWND dialog);
  void answerSaveDialog(HWND dialog);
  SaveDialogRecord readSaveDialog(HWND dialog) const;
  bool handleOtherDialog(HWND dialog);
  void closeLingeringDialogs(const std::vector<HWND>& open);
  void recordMessage(MessageBoxRecord record);
  void recordSaveDialog(SaveDialogRecord record);
  void addUnexpected(std::wstring line);
  std::optional<std::wstring> takeSaveAnswer();

  void hookThreads();  // sets the style hook on the watched process's threads

  const DWORD processId_;
  const OtherDialogs others_;
  std::vector<HHOOK> styleHooks_;
  HMODULE styleHookLibrary_ = nullptr;
  HANDLE stopEvent_ = nullptr;  // owned; signalled by stop()
  std::thread watcher_;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<std::wstring> saveAnswers_;
  std::vector<MessageBoxRecord> messages_;
  std::vector<SaveDialogRecord> saveDialogs_;
  std::vector<std::wstring> unexpected_;
  std::vector<DialogEvent> events_;

  // Only touched by the watcher thread.
  std::map<HWND, AnsweredDialog> answered_;  // includes those left alone
  std::map<HWND, int> sightings_;  // scans in which a new dialog was seen
};

}  // namespace hostsim
