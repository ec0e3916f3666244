#include "responder/DialogResponder.h"

#include <tlhelp32.h>

#include <chrono>
#include <utility>

#include "responder/DialogWindows.h"
#include "responder/FileDialogRequest.h"
#include "responder/MessageBoxStyle.h"
#include "responder/ProgressDialogWindow.h"

namespace hostsim {
namespace {

using dialogs::DialogKind;

constexpr DWORD kPollIntervalMs = 5;
// A new dialog is answered on the second scan that sees it, so that its own
// initialisation (which may post messages to itself) has run.
constexpr int kScansBeforeAnswer = 2;
// A dialog still open this long after its answer is closed and reported.
constexpr ULONGLONG kCloseTimeoutMs = 3000;

std::wstring describe(const wchar_t* what, HWND dialog) {
  return std::wstring(what) + L" \"" + dialogs::textOf(dialog) + L"\"";
}

}  // namespace

DialogResponder::DialogResponder()
    : DialogResponder(GetCurrentProcessId(), OtherDialogs::CloseAndReport) {}

DialogResponder::DialogResponder(DWORD processId, OtherDialogs others)
    : processId_(processId), others_(others), stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  hookThreads();
  watcher_ = std::thread([this] { watch(); });
}

DialogResponder::~DialogResponder() {
  stop();
  CloseHandle(stopEvent_);
  if (styleHookLibrary_) FreeLibrary(styleHookLibrary_);
}

void DialogResponder::stop() {
  SetEvent(stopEvent_);
  if (watcher_.joinable()) watcher_.join();
  for (HHOOK hook : styleHooks_) UnhookWindowsHookEx(hook);
  styleHooks_.clear();
}

void DialogResponder::hookThreads() {
  styleHookLibrary_ = LoadLibraryW(kStyleHookLibrary);
  if (!styleHookLibrary_) return;  // styles stay unknown
  const auto procedure =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(styleHookLibrary_, kStyleHookProcedure)));
  const HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (!procedure || threads == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 thread{};
  thread.dwSize = sizeof thread;
  for (BOOL more = Thread32First(threads, &thread); more; more = Thread32Next(threads, &thread)) {
    if (thread.th32OwnerProcessID != processId_) continue;
    // The system loads the library into the watched process for the hook.
    if (HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, procedure, styleHookLibrary_, thread.th32ThreadID))
      styleHooks_.push_back(hook);
  }
  CloseHandle(threads);
}

void DialogResponder::queueSavePath(std::wstring path) {
  std::lock_guard<std::mutex> lock(mutex_);
  saveAnswers_.push_back(std::move(path));
}

void DialogResponder::queueSaveCancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  saveAnswers_.push_back(kCancelAnswer);
}

size_t DialogResponder::pendingSaveAnswers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return saveAnswers_.size();
}

size_t DialogResponder::dropSaveAnswers() {
  std::lock_guard<std::mutex> lock(mutex_);
  const size_t dropped = saveAnswers_.size();
  saveAnswers_.clear();
  return dropped;
}

std::vector<MessageBoxRecord> DialogResponder::messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

std::vector<SaveDialogRecord> DialogResponder::saveDialogs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return saveDialogs_;
}

std::vector<std::wstring> DialogResponder::unexpected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unexpected_;
}

std::vector<DialogEvent> DialogResponder::events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

std::wstring DialogResponder::unexpectedReport() const {
  std::wstring report;
  for (const std::wstring& line : unexpected()) report += line + L"\n";
  return report;
}

bool DialogResponder::waitForMessages(size_t count, DWORD timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return messages_.size() >= count; });
}

bool DialogResponder::waitForSaveDialogs(size_t count, DWORD timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return saveDialogs_.size() >= count; });
}

// ---- watcher thread ----------------------------------------------------------

void DialogResponder::watch() {
  do {
    scanOnce();
  } while (WaitForSingleObject(stopEvent_, kPollIntervalMs) == WAIT_TIMEOUT);
}

void DialogResponder::scanOnce() {
  const std::vector<HWND> open = dialogs::visibleDialogs(processId_);

  // Forget windows that are gone: a handle value may be reused later.
  for (auto it = answered_.begin(); it != answered_.end();) {
    it = IsWindow(it->first) ? std::next(it) : answered_.erase(it);
  }
  std::map<HWND, int> stillNew;
  for (HWND dialog : open) {
    if (answered_.count(dialog)) continue;
    const int seen = sightings_[dialog] + 1;
    if (seen < kScansBeforeAnswer) {
      stillNew[dialog] = seen;
      continue;
    }
    const bool answered = handleNewDialog(dialog);
    answered_[dialog] = AnsweredDialog{GetTickCount64(), !answered};
  }
  sightings_ = std::move(stillNew);
  closeLingeringDialogs(open);
}

bool DialogResponder::handleNewDialog(HWND dialog) {
  // The shell's progress dialog is no question to answer: it goes when its
  // program takes it down, and closing it would cancel the program's work.
  if (dialogs::isProgressDialog(dialog)) return false;
  switch (dialogs::classify(dialog)) {
    case DialogKind::MessageBox: answerMessageBox(dialog); return true;
    case DialogKind::SaveFile: answerSaveDialog(dialog); return true;
    case DialogKind::Other: break;
  }
  return handleOtherDialog(dialog);
}

void DialogResponder::answerMessageBox(HWND dialog) {
  MessageBoxRecord record{dialogs::textOf(GetDlgItem(dialog, dialogs::kMessageTextId)),
                          dialogs::textOf(dialog)};
  const auto style = reinterpret_cast<ULONG_PTR>(GetPropW(dialog, kMessageBoxStyleProperty));
  record.styleKnown = (style & kStyleKnown) != 0;
  record.style = static_cast<UINT>(style & ~kStyleKnown);
  const std::vector<HWND> buttons = dialogs::visibleButtons(dialog);
  if (buttons.size() != 1) {
    // A box that offers a choice was not expected: the first button
    // (OK, Yes, Abort...) is taken so that the code under test goes on.
    addUnexpected(L"message box with " + std::to_wstring(buttons.size()) +
                  L" buttons: \"" + record.caption + L"\": \"" + record.text + L"\"");
  }
  recordMessage(std::move(record));
  if (buttons.empty())
    dialogs::askToClose(dialog);
  else
    dialogs::pressButton(dialog, GetDlgCtrlID(buttons.front()));
}

void DialogResponder::answerSaveDialog(HWND dialog) {
  SaveDialogRecord record = readSaveDialog(dialog);
  const std::optional<std::wstring> queued = takeSaveAnswer();
  if (!queued) addUnexpected(describe(L"save dialog with no queued answer (cancelled):", dialog));
  record.answer = queued ? *queued : kCancelAnswer;
  if (record.answer != kCancelAnswer && !dialogs::typeFileName(dialog, record.answer)) {
    addUnexpected(L"could not type \"" + record.answer + L"\" into the save dialog (cancelled)");
    record.answer = kCancelAnswer;
  }
  // Recorded before the press: the code under test may look at the record
  // as soon as its call returns.
  recordSaveDialog(record);
  dialogs::pressButton(dialog, record.answer == kCancelAnswer ? IDCANCEL : IDOK);
}

SaveDialogRecord DialogResponder::readSaveDialog(HWND dialog) const {
  SaveDialogRecord record;
  record.caption = dialogs::textOf(dialog);
  record.fileType = dialogs::textOf(GetDlgItem(dialog, dialogs::kFileTypeId));
  record.hadOwner = GetWindow(dialog, GW_OWNER) != nullptr;
  dialogs::FileDialogRequest request;
  if (dialogs::readFileDialogRequest(dialog, request)) {
    record.filter = request.filter;
    record.defaultExtension = request.defaultExtension;
    record.initialName = request.initialName;
    record.flags = request.flags;
    record.flagsKnown = true;
  } else {
    record.initialName = dialogs::textOf(GetDlgItem(dialog, dialogs::kFileNameId));
  }
  return record;
}

bool DialogResponder::handleOtherDialog(HWND dialog) {
  if (others_ == OtherDialogs::LeaveAlone) return false;
  const std::wstring description = describe(L"unknown dialog (closed):", dialog);
  // A dialog its program takes down while it is looked at is no question
  // left open: the progress dialog at the end of a run, met between the
  // scan and here. DestroyWindow hides a window before it destroys its
  // children, so one whose progress bar is already gone is hidden too.
  if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return false;
  addUnexpected(description);
  dialogs::askToClose(dialog);
  return true;
}

void DialogResponder::closeLingeringDialogs(const std::vector<HWND>& open) {
  const ULONGLONG now = GetTickCount64();
  for (HWND dialog : open) {
    auto it = answered_.find(dialog);
    if (it == answered_.end() || it->second.closeChecked) continue;
    if (now - it->second.answeredAt < kCloseTimeoutMs) continue;
    // Still open (e.g. the dialog refused the typed path and showed an error
    // that was answered): cancel it once so that the code under test returns.
    addUnexpected(describe(L"dialog still open after its answer (cancelled):", dialog));
    dialogs::pressButton(dialog, IDCANCEL);
    dialogs::askToClose(dialog);
    it->second.closeChecked = true;
  }
}

void DialogResponder::recordMessage(MessageBoxRecord record) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({DialogEventKind::MessageBox, messages_.size()});
    messages_.push_back(std::move(record));
  }
  changed_.notify_all();
}

void DialogResponder::recordSaveDialog(SaveDialogRecord record) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({DialogEventKind::SaveDialog, saveDialogs_.size()});
    saveDialogs_.push_back(std::move(record));
  }
  changed_.notify_all();
}

void DialogResponder::addUnexpected(std::wstring line) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({DialogEventKind::Unexpected, unexpected_.size()});
    unexpected_.push_back(std::move(line));
  }
  changed_.notify_all();
}

std::optional<std::wstring> DialogResponder::takeSaveAnswer() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (saveAnswers_.empty()) return std::nullopt;
  std::wstring answer = std::move(saveAnswers_.front());
  saveAnswers_.pop_front();
  return answer;
}

}  // namespace hostsim
