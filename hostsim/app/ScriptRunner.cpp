#include "app/ScriptRunner.h"

#include <windows.h>

#include "app/BodyPicture.h"
#include "app/ScriptCall.h"
#include "core/AutomationObject.h"
#include "core/Files.h"
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
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
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

bool parseCount(const std::wstring& text, long long& value) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
  value = std::stoll(text);
  return value >= 1;
}

bool parseCount(const std::wstring& text, int& value) {
  long long wide = 0;
  if (!parseCount(text, wide) || wide > 1000000) return false;
  value = static_cast<int>(wide);
  return true;
}

constexpr int kPictureWidth = 360, kPictureHeight = 270;

std::wstring afterWords(const std::wstring& rest, size_t count) {
  // The text after the first count words (quoted words stay whole).
  size_t i = 0;
  for (size_t word = 0; word < count; ++word) {
    i = rest.find_first_not_of(L" \t", i);
    if (i == std::wstring::npos) return {};
    i = rest[i] == L'"' ? rest.find(L'"', i + 1) : rest.find_first_of(L" \t", i);
    if (i == std::wstring::npos) return {};
    ++i;
  }
  const size_t start = rest.find_first_not_of(L" \t", i);
  return start == std::wstring::npos ? std::wstring() : rest.substr(start);
}

}  // namespace

ScriptRunner::ScriptRunner(Simulator& simulator, Transcript& transcript)
    : simulator_(simulator), transcript_(transcript) {}

ScriptRunner::~ScriptRunner() { releaseLocks(); }

void ScriptRunner::releaseLocks() {
  for (const auto& lock : locks_) CloseHandle(lock.second);
  locks_.clear();
}

bool ScriptRunner::fileCommand(const std::wstring& what, bool done) {
  const DWORD error = done ? 0 : GetLastError();
  transcript_.line(what + (done ? L" -> ok" : L" -> error " + std::to_wstring(error)));
  if (!done) fail(what + L" failed");
  return done;
}

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
  const std::wstring command = line.substr(0, space);
  const std::wstring rest = space == std::wstring::npos ? std::wstring() : trim(line.substr(space));
  const int failuresBefore = failures_;
  bool done = execute(command, rest, splitWords(rest));
  collectDialogs();
  return done && failures_ == failuresBefore;
}

bool ScriptRunner::execute(const std::wstring& command, const std::wstring& rest,
                           const std::vector<std::wstring>& words) {
  auto needs = [&](size_t count) {
    if (words.size() >= count) return true;
    fail(command + L" needs " + std::to_wstring(count) + L" argument(s)");
    return false;
  };
  if (command == L"open") {
    if (!needs(1)) return false;
    long error = 0;
    bool opened = simulator_.open(words[0], &error);
    transcript_.line(L"open: " + words[0] + (opened ? L" -> ok" : L" -> error " + std::to_wstring(error)));
    if (!opened) fail(L"cannot open " + words[0]);
    return opened;
  }
  if (command == L"activate" || command == L"close") {
    if (!needs(1)) return false;
    bool done = command == L"activate" ? simulator_.activate(words[0]) : simulator_.close(words[0]);
    transcript_.line(command + L": " + words[0] + (done ? L" -> ok" : L" -> not open"));
    if (!done) fail(words[0] + L" is not open");
    return done;
  }
  if (command == L"addin") {
    if (!needs(1)) return false;
    transcript_.line(L"addin: " + words[0] + L" -> " + std::to_wstring(simulator_.loadAddin(words[0])));
    return true;
  }
  if (command == L"menu" || command == L"invoke") {
    if (rest.empty()) return needs(1);
    const std::wstring target = command == L"menu" ? unescape(rest) : words[0];
    transcript_.line(command + L": " + target);
    bool done = command == L"menu" ? simulator_.pickMenu(target) : simulator_.invokeExport(target);
    if (!done) fail(command == L"menu" ? L"no menu entry " + target + L" for the active document"
                                       : L"no loaded add-in exports " + target);
    return done;
  }
  if (command == L"call") {
    std::wstring line = runScriptCall(simulator_, rest);
    if (line.rfind(L"error: ", 0) == 0) {
      fail(line.substr(7));
      return false;
    }
    transcript_.line(line);
    return true;
  }
  if (command == L"answer-save") {
    if (!needs(1)) return false;
    if (words[0] == L"cancel") responder_.queueSaveCancel();
    else responder_.queueSavePath(words[0]);
    return true;
  }
  if (command == L"expect-message") {
    expectedMessages_.push_back(unescape(rest));
    return true;
  }
  if (command == L"fail" || command == L"refuse" || command == L"odd") {
    if (!needs(1)) return false;
    int nth = 1;
    if (words.size() > 1 && !parseCount(words[1], nth)) {
      fail(command + L" takes a count from 1");
      return false;
    }
    std::wstring line = command + L": " + words[0] + L" " + std::to_wstring(nth);
    if (command == L"fail") simulator_.failCall(words[0], nth);
    if (command == L"refuse") simulator_.refuseCall(words[0], nth);
    if (command == L"odd") {
      VARIANT value;
      VariantInit(&value);
      std::wstring error;
      const std::wstring valueText = afterWords(rest, 2);
      if (!valueText.empty() && !parseScriptValue(valueText, value, error)) {
        fail(error);
        return false;
      }
      simulator_.answerOddly(words[0], nth, &value);
      if (value.vt != VT_EMPTY) line += L" " + formatVariant(value);
      VariantClear(&value);
    }
    transcript_.line(line);
    return true;
  }
  if (command == L"call-log") {
    if (!needs(1)) return false;
    int limit = 0;
    if (words[0] == L"all") simulator_.setCallLogLimit(Simulator::kUnlimitedCallLog);
    else if (words[0] == L"off") simulator_.setCallLogLimit(0);
    else if (parseCount(words[0], limit)) simulator_.setCallLogLimit(static_cast<size_t>(limit));
    else {
      fail(L"call-log takes all, off or a count");
      return false;
    }
    transcript_.line(L"call-log: " + words[0]);
    return true;
  }
  if (command == L"documents") {
    const auto documents = simulator_.openDocuments();
    transcript_.line(L"documents: " + std::to_wstring(documents.size()));
    for (const auto& d : documents)
      transcript_.line((d.active ? L"> " : L"  ") + (d.path.empty() ? d.name + L" (never saved)" : d.path));
    return true;
  }
  if (command == L"new-document") {
    bool made = simulator_.newDocument(words.empty() ? L"" : words[0]);
    transcript_.line(L"new-document: " + (made ? simulator_.openDocuments().back().name + L" -> ok" : L"-> failed"));
    if (!made) fail(L"unknown shape " + words[0]);
    return made;
  }
  if (command == L"mkdir") return needs(1) && fileCommand(L"mkdir: " + words[0], CreateDirectoryW(words[0].c_str(), nullptr));
  if (command == L"delete") return needs(1) && fileCommand(L"delete: " + words[0], DeleteFileW(words[0].c_str()));
  if (command == L"copy")
    return needs(2) && fileCommand(L"copy: " + words[0] + L" " + words[1], CopyFileW(words[0].c_str(), words[1].c_str(), FALSE));
  if (command == L"write-file") {
    if (!needs(1)) return false;
    const bool written = writeWholeFile(words[0], toUtf8(unescape(afterWords(rest, 1))));
    return fileCommand(L"write-file: " + words[0], written);
  }
  if (command == L"lock") {
    if (!needs(1)) return false;
    HANDLE file = CreateFileW(words[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) locks_.emplace_back(words[0], file);
    return fileCommand(L"lock: " + words[0], file != INVALID_HANDLE_VALUE);
  }
  if (command == L"unlock") {
    if (!needs(1)) return false;
    for (auto it = locks_.begin(); it != locks_.end(); ++it)
      if (it->first == words[0]) {
        CloseHandle(it->second);
        locks_.erase(it);
        transcript_.line(L"unlock: " + words[0] + L" -> ok");
        return true;
      }
    transcript_.line(L"unlock: " + words[0] + L" -> not locked");
    fail(words[0] + L" is not locked");
    return false;
  }
  if (command == L"new-tree") {
    if (!needs(5)) return false;
    TreeRecipe recipe;
    int depth = 0, fanOut = 0;
    if (!parseCount(words[1], recipe.instances) || !parseCount(words[2], recipe.uniqueParts) ||
        !parseCount(words[3], depth) || !parseCount(words[4], fanOut))
      {
      fail(L"new-tree takes counts from 1");
      return false;
    }
    recipe.depth = depth;
    recipe.fanOut = fanOut;
    if (words.size() > 5) recipe.shape = words[5];
    const TreeSummary tree = writeAssemblyTree(words[0], recipe);
    if (tree.top.empty()) {
      transcript_.line(L"new-tree: " + words[0] + L" -> failed");
      {
      fail(L"cannot write the tree " + words[0]);
      return false;
    }
    }
    transcript_.line(L"new-tree: " + tree.top + L" -> " + std::to_wstring(tree.partInstances) + L" part instances, " +
                     std::to_wstring(tree.components) + L" components, " + std::to_wstring(tree.partFiles) +
                     L" part files, " + std::to_wstring(tree.assemblyFiles) + L" assembly files");
    return true;
  }
  if (command == L"dump") {
    if (!needs(1)) return false;
    std::wstring text = simulator_.dump(words[0]);
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find(L'\n', start);
      if (end == std::wstring::npos) end = text.size();
      transcript_.line(text.substr(start, end - start));
      start = end + 1;
    }
    return true;
  }
  if (command == L"picture") {
    if (!needs(2)) return false;
    std::vector<Triangle> triangles;
    if (!simulator_.partBody(words[0], triangles)) {
      transcript_.line(L"picture: " + words[0] + L" -> no part");
      fail(words[0] + L" is no part");
      return false;
    }
    const bool written = writeBodyPicture(words[1], kPictureWidth, kPictureHeight, triangles,
                                          bodyCaption(words[0], triangles.size()));
    transcript_.line(L"picture: " + words[0] + L" -> " + words[1] + (written ? L"" : L" failed"));
    if (!written) fail(L"cannot write the picture " + words[1]);
    return written;
  }
  if (command == L"new-part") {
    if (!needs(1)) return false;
    bool written = writePartFixture(words[0], words.size() > 1 ? words[1] : L"plate");
    transcript_.line(L"new-part: " + words[0] + (written ? L" -> ok" : L" -> failed"));
    if (!written) fail(L"cannot write the part " + words[0]);
    return written;
  }
  if (command == L"new-assembly") {
    if (!needs(1)) return false;
    bool written = writeAssemblyFixture(words[0], std::vector<std::wstring>(words.begin() + 1, words.end()));
    transcript_.line(L"new-assembly: " + words[0] + (written ? L" -> ok" : L" -> failed"));
    if (!written) fail(L"cannot write the assembly " + words[0]);
    return written;
  }
  fail(L"unknown command " + command);
  return false;
}

void ScriptRunner::collectDialogs() {
  const auto events = responder_.events();
  const auto messages = responder_.messages();
  const auto saves = responder_.saveDialogs();
  const auto unexpected = responder_.unexpected();
  for (; eventsSeen_ < events.size(); ++eventsSeen_) {
    const testsupport::DialogEvent& event = events[eventsSeen_];
    if (event.kind == testsupport::DialogEventKind::MessageBox) {
      const std::wstring& text = messages[event.index].text;
      transcript_.line(L"message: " + Transcript::oneLine(text));
      if (expectedMessages_.empty()) {
        fail(L"unexpected message: " + Transcript::oneLine(text));
      } else {
        if (expectedMessages_.front() != text)
          fail(L"expected message: " + Transcript::oneLine(expectedMessages_.front()));
        expectedMessages_.pop_front();
      }
    } else if (event.kind == testsupport::DialogEventKind::SaveDialog) {
      const testsupport::SaveDialogRecord& save = saves[event.index];
      transcript_.line(L"save-dialog: " + save.initialName + L" -> " + save.answer);
    } else {
      fail(L"unexpected dialog: " + unexpected[event.index]);
    }
  }
}

bool ScriptRunner::finish() {
  collectDialogs();
  releaseLocks();
  lineNumber_ = 0;
  for (const std::wstring& text : expectedMessages_) fail(L"message never shown: " + Transcript::oneLine(text));
  expectedMessages_.clear();
  if (responder_.pendingSaveAnswers() > 0)
    fail(std::to_wstring(responder_.pendingSaveAnswers()) + L" save answer(s) never used");
  return failures_ == 0;
}

}  // namespace hostsim
