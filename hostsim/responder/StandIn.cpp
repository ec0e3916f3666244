// standin.exe: a stand-in for the user at a dialog program. It starts the
// program, waits for its dialog and works through the steps given on its
// command line, answering and recording every message box (its one button)
// through the dialog responder; a transcript goes to standard output.
//
//   standin.exe [/in FOLDER] [/wait SECONDS] PROGRAM [STEP TEXT]...
//
//   /in FOLDER     the program's current folder (default: the program's own)
//   /wait SECONDS  the bound of every wait (default 30)
//   click TEXT     waits until the push button TEXT ('&' marks left out) is
//                  enabled, clicks it (BM_CLICK on the control, which makes
//                  it send the dialog the click a mouse would) and returns
//                  once the program has handled it, message boxes included
//   enabled TEXT, disabled TEXT   the button is in that state now
//   message TEXT   the oldest message box not yet checked showed TEXT
//                  ("\n" a line break); waits for one
//   exit CODE      waits until the program ends, with that exit code
//
// The exit code is 0 only when every step did what it says, every message
// box was checked by a step and the program has ended; 1 otherwise (the
// program is then ended), 2 for a bad command line.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "responder/DialogResponder.h"
#include "responder/DialogWindows.h"
#include "responder/Transcript.h"

namespace hostsim {

namespace {

constexpr DWORD kPollMs = 10;

// What the run did, a line an event.
void say(const std::wstring& text) {
  static Transcript transcript;
  transcript.line(text);
}

std::wstring withoutMnemonics(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;  // "&&" is one '&'
    out += text[i];
  }
  return out;
}

struct Step {
  std::wstring verb, text;
};

class StandIn {
 public:
  explicit StandIn(DWORD waitMs) : waitMs_(waitMs) {}

  ~StandIn() {
    if (!process_.hProcess) return;
    responder_.reset();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  bool start(const std::wstring& program, std::wstring folder) {
    if (folder.empty()) folder = program.substr(0, program.find_last_of(L"\\/") + 1);
    say(L"start: " + program + L" in " + folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process_)) {
      process_ = {};
      return fail(L"cannot start the program (error " + std::to_wstring(GetLastError()) + L")");
    }
    responder_ = std::make_unique<DialogResponder>(process_.dwProcessId);
    if (!waitUntil([&] { return (dialog_ = mainDialog()) != nullptr; }))
      return fail(running() ? L"no dialog appeared" : L"the program ended without a dialog");
    say(L"dialog: " + dialogs::textOf(dialog_));
    return true;
  }

  bool run(const Step& step) {
    const bool done = perform(step);
    transcribeMessages();
    return done;
  }

  // Whatever is left: the program still running, message boxes no step
  // checked, dialogs the responder did not expect.
  int finish() {
    if (process_.hProcess && running()) {
      fail(L"the program is still running (ended now)");
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, waitMs_);
    }
    if (responder_) {
      responder_->stop();
      transcribeMessages();
      for (; checked_ < responder_->messages().size(); ++checked_)
        fail(L"unexpected message: " + Transcript::oneLine(responder_->messages()[checked_].text));
      for (const std::wstring& line : responder_->unexpected()) fail(L"unexpected dialog: " + line);
    }
    say(failures_ == 0 ? L"result: ok" : L"result: failed");
    return failures_ == 0 ? 0 : 1;
  }

 private:
  bool perform(const Step& step) {
    if (step.verb == L"click") {
      HWND button = nullptr;
      if (!waitUntil([&] { return (button = findButton(step.text)) && IsWindowEnabled(button); }))
        return fail(L"no enabled button " + step.text);
      say(L"click: " + step.text);
      DWORD_PTR result = 0;
      if (!SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, waitMs_, &result))
        return fail(L"the click was not handled in time");
      transcribeMessages();
      const std::wstring enabled = enabledButtons();  // none once the dialog has ended
      if (!enabled.empty()) say(L"enabled now: " + enabled);
      return true;
    }
    if (step.verb == L"enabled" || step.verb == L"disabled") {
      HWND button = findButton(step.text);
      if (!button) return fail(L"no button " + step.text);
      const bool enabled = IsWindowEnabled(button) != FALSE;
      say(L"check: " + step.text + L" " + step.verb);
      return enabled == (step.verb == L"enabled") || fail(step.text + L" is not " + step.verb);
    }
    if (step.verb == L"message") {
      if (!waitUntil([&] { return responder_->messages().size() > checked_; }))
        return fail(L"no message box showed " + step.text);
      transcribeMessages();
      const std::wstring shown = responder_->messages()[checked_++].text;
      return shown == unescape(step.text) || fail(L"expected the message " + step.text);
    }
    if (step.verb == L"exit") {
      if (!waitUntil([&] { return !running(); })) return fail(L"the program did not end");
      DWORD code = 0;
      GetExitCodeProcess(process_.hProcess, &code);
      say(L"exit: " + std::to_wstring(code));
      return std::to_wstring(code) == step.text || fail(L"expected the exit code " + step.text);
    }
    return fail(L"unknown step " + step.verb);
  }

  template <typename Condition>
  bool waitUntil(Condition done) {
    for (const ULONGLONG end = GetTickCount64() + waitMs_; !done(); Sleep(kPollMs)) {
      transcribeMessages();
      if (GetTickCount64() > end) return done();
    }
    return true;
  }

  bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

  // The program's own dialog: a visible dialog of its process that is no
  // message box.
  HWND mainDialog() const {
    for (HWND window : dialogs::visibleDialogs(process_.dwProcessId))
      if (dialogs::classify(window) == dialogs::DialogKind::Other) return window;
    return nullptr;
  }

  HWND findButton(const std::wstring& text) const {
    for (HWND button : dialogs::visibleButtons(dialog_))
      if (withoutMnemonics(dialogs::textOf(button)) == text) return button;
    return nullptr;
  }

  std::wstring enabledButtons() const {
    std::wstring list;
    for (HWND button : dialogs::visibleButtons(dialog_))
      if (IsWindowEnabled(button)) list += (list.empty() ? L"" : L", ") + withoutMnemonics(dialogs::textOf(button));
    return list;
  }

  void transcribeMessages() {
    if (!responder_) return;
    const auto messages = responder_->messages();
    for (; transcribed_ < messages.size(); ++transcribed_)
      say(L"message: " + Transcript::oneLine(messages[transcribed_].text));
  }

  static std::wstring unescape(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n') {
        out += L'\n';
        ++i;
      } else {
        out += text[i];
      }
    }
    return out;
  }

  bool fail(const std::wstring& why) {
    ++failures_;
    say(L"error: " + why);
    return false;
  }

  const DWORD waitMs_;
  PROCESS_INFORMATION process_{};
  std::unique_ptr<DialogResponder> responder_;
  HWND dialog_ = nullptr;
  size_t transcribed_ = 0;  // message boxes written to the transcript
  size_t checked_ = 0;      // message boxes a step has checked
  int failures_ = 0;
};

// wmain's work: the command line, the run, the exit code.
int runStandIn(int argc, wchar_t** argv) {
  std::wstring folder, program;
  DWORD waitMs = 30000;
  std::vector<Step> steps;
  int i = 1;
  for (; i + 1 < argc && argv[i][0] == L'/'; i += 2) {
    const std::wstring option = argv[i];
    if (option == L"/in") folder = argv[i + 1];
    else if (option == L"/wait") waitMs = static_cast<DWORD>(_wtoi(argv[i + 1])) * 1000;
    else break;
  }
  if (i < argc) program = argv[i++];
  for (; i + 1 < argc; i += 2) steps.push_back({argv[i], argv[i + 1]});
  if (program.empty() || i != argc || waitMs == 0) {
    say(L"usage: standin.exe [/in FOLDER] [/wait SECONDS] PROGRAM [STEP TEXT]...");
    return 2;
  }
  StandIn user(waitMs);
  if (user.start(program, folder))
    for (const Step& step : steps)
      if (!user.run(step)) break;  // the later steps count on this one
  return user.finish();
}

}  // namespace

}  // namespace hostsim

int wmain(int argc, wchar_t** argv) { return hostsim::runStandIn(argc, argv); }
