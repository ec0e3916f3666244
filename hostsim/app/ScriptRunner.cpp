#include "app/ScriptRunner.h"

#include "core/Paths.h"
#include "core/Utf8.h"

namespace hostsim {

namespace {

std::wstring trim(const std::wstring& text) {
  const wchar_t* blanks = L" \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::wstring::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

bool readLines(const std::wstring& path, std::vector<std::wstring>& lines) {
  std::string bytes;
  unsigned long error = 0;
  if (!readWholeFile(path, bytes, error)) return false;
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);  // a UTF-8 byte order mark
  std::wstring text = fromUtf8(bytes);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

}  // namespace

// The progress dialog is read each time the host opens one more document.
ScriptRunner::ScriptRunner(Simulator& simulator, Transcript& transcript)
    : simulator_(simulator), transcript_(transcript) {
  simulator_.setChangeListener([this, open = size_t{0}]() mutable {
    const size_t now = simulator_.openDocumentPaths().size();
    if (now > open) progress_.look();
    open = now;
  });
}

ScriptRunner::~ScriptRunner() { simulator_.setChangeListener(nullptr); }

std::wstring ScriptRunner::unescape(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n') {
      out += L'\n';
      ++i;
    } else if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'\\') {
      out += L'\\';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::wstring> ScriptRunner::splitWords(const std::wstring& text) {
  std::vector<std::wstring> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == L' ' || text[i] == L'\t') {
      ++i;
      continue;
    }
    std::wstring word;
    if (text[i] == L'"') {
      size_t close = text.find(L'"', i + 1);
      if (close == std::wstring::npos) close = text.size();
      word = text.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      size_t end = text.find_first_of(L" \t", i);
      if (end == std::wstring::npos) end = text.size();
      word = text.substr(i, end - i);
      i = end;
    }
    words.push_back(word);
  }
  return words;
}

void ScriptRunner::fail(const std::wstring& why) {
  ++failures_;
  transcript_.line(L"error: line " + std::to_wstring(lineNumber_) + L": " + why);
}

void ScriptRunner::loadStartupAddins(const std::wstring& appsFolder, const std::vector<std::wstring>& paths) {
  // An add-in of the Apps folder is named by its file name, one named on
  // the command line by the path as given.
  for (const auto& loaded : simulator_.loadAddinsFromFolder(appsFolder))
    transcript_.line(L"addin: " + fileNameOfPath(loaded.first) + L" -> " + std::to_wstring(loaded.second));
  for (const std::wstring& path : paths)
    transcript_.line(L"addin: " + path + L" -> " + std::to_wstring(simulator_.loadAddin(path)));
  collectDialogs();
}

bool ScriptRunner::runFile(const std::wstring& path) {
  std::vector<std::wstring> lines;
  if (!readLines(path, lines)) {
    fail(L"cannot read the script " + path);
    return false;
  }
  for (size_t i = 0; i < lines.size(); ++i) runLine(lines[i], static_cast<int>(i + 1));
  return finish();
}

bool ScriptRunner::runLine(const std::wstring& raw, int number) {
  lineNumber_ = number;
  const std::wstring line = trim(raw);
  if (line.empty() || line[0] == L'#') return true;
  const size_t space = line.find_first_of(L" \t");
  Command command;
  command.name = line.substr(0, space);
  command.rest = space == std::wstring::npos ? std::wstring() : trim(line.substr(space));
  command.words = splitWords(command.rest);
  const int failuresBefore = failures_;
  bool done = execute(command);
  collectDialogs();
  return done && failures_ == failuresBefore;
}

bool ScriptRunner::execute(const Command& command) {
  for (const CommandEntry& entry : commandTable()) {
    if (command.name != entry.name) continue;
    if (command.words.size() < entry.wordsNeeded) {
      fail(command.name + L" needs " + std::to_wstring(entry.wordsNeeded) + L" argument(s)");
      return false;
    }
    return (this->*entry.run)(command);
  }
  fail(L"unknown command " + command.name);
  return false;
}

void ScriptRunner::collectDialogs() {
  // What the progress dialog showed comes before the first message box: a
  // command shows its last word once the dialog is down.
  std::vector<std::wstring> progress = progress_.take();
  const auto transcribeProgress = [&] {
    for (const std::wstring& line : progress) transcript_.line(line);
    progress.clear();
  };
  const auto events = responder_.events();
  const auto messages = responder_.messages();
  const auto saves = responder_.saveDialogs();
  const auto unexpected = responder_.unexpected();
  for (; eventsSeen_ < events.size(); ++eventsSeen_) {
    const DialogEvent& event = events[eventsSeen_];
    if (event.kind == DialogEventKind::MessageBox) {
      transcribeProgress();
      const std::wstring& text = messages[event.index].text;
      transcript_.line(L"message: " + Transcript::oneLine(text));
      if (expectedMessages_.empty()) {
        fail(L"unexpected message: " + Transcript::oneLine(text));
      } else {
        if (expectedMessages_.front() != text)
          fail(L"expected message: " + Transcript::oneLine(expectedMessages_.front()));
        expectedMessages_.pop_front();
      }
    } else if (event.kind == DialogEventKind::SaveDialog) {
      const SaveDialogRecord& save = saves[event.index];
      transcript_.line(L"save-dialog: " + save.initialName + L" -> " + save.answer);
    } else {
      fail(L"unexpected dialog: " + unexpected[event.index]);
    }
  }
  transcribeProgress();
}

bool ScriptRunner::finish() {
  collectDialogs();
  locks_.clear();
  lineNumber_ = 0;
  for (const std::wstring& text : expectedMessages_) fail(L"message never shown: " + Transcript::oneLine(text));
  expectedMessages_.clear();
  if (responder_.pendingSaveAnswers() > 0)
    fail(std::to_wstring(responder_.pendingSaveAnswers()) + L" save answer(s) never used");
  return failures_ == 0;
}

}  // namespace hostsim
