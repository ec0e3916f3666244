// The script commands: one row of the table and one handler each. A handler
// writes the command's transcript lines, and fails the line (fail(), false)
// when the command could not be done.
#include <windows.h>

#include <cwchar>

#include "app/BodyPicture.h"
#include "app/ScriptCall.h"
#include "app/ScriptRunner.h"
#include "core/AutomationObject.h"
#include "core/Utf8.h"

namespace hostsim {

namespace {

constexpr int kPictureWidth = 360, kPictureHeight = 270;

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

// The text after the first count words (quoted words stay whole).
std::wstring afterWords(const std::wstring& rest, size_t count) {
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

const std::vector<ScriptRunner::CommandEntry>& ScriptRunner::commandTable() {
  static const std::vector<CommandEntry> table = {
      {L"open", 1, &ScriptRunner::open},
      {L"activate", 1, &ScriptRunner::activateOrClose},
      {L"close", 1, &ScriptRunner::activateOrClose},
      {L"addin", 1, &ScriptRunner::addin},
      {L"menu", 1, &ScriptRunner::menu},
      {L"invoke", 1, &ScriptRunner::invoke},
      {L"call", 0, &ScriptRunner::call},
      {L"answer-save", 1, &ScriptRunner::answerSave},
      {L"expect-message", 0, &ScriptRunner::expectMessage},
      {L"fail", 1, &ScriptRunner::planAnswer},
      {L"refuse", 1, &ScriptRunner::planAnswer},
      {L"odd", 1, &ScriptRunner::planAnswer},
      {L"call-log", 1, &ScriptRunner::callLog},
      {L"documents", 0, &ScriptRunner::documents},
      {L"new-document", 0, &ScriptRunner::newDocument},
      {L"mkdir", 1, &ScriptRunner::makeFolder},
      {L"delete", 1, &ScriptRunner::deleteFile},
      {L"copy", 2, &ScriptRunner::copyFile},
      {L"write-file", 1, &ScriptRunner::writeFile},
      {L"lock", 1, &ScriptRunner::lock},
      {L"unlock", 1, &ScriptRunner::unlock},
      {L"new-tree", 5, &ScriptRunner::newTree},
      {L"dump", 1, &ScriptRunner::dump},
      {L"picture", 2, &ScriptRunner::picture},
      {L"new-part", 1, &ScriptRunner::newPart},
      {L"new-assembly", 1, &ScriptRunner::newAssembly},
      {L"progress-picture", 2, &ScriptRunner::progressPicture},
  };
  return table;
}

bool ScriptRunner::fileCommand(const std::wstring& what, bool done) {
  const DWORD error = done ? 0 : GetLastError();
  transcript_.line(what + (done ? L" -> ok" : L" -> error " + std::to_wstring(error)));
  if (!done) fail(what + L" failed");
  return done;
}

// ---- documents and add-ins ----

bool ScriptRunner::open(const Command& command) {
  const std::wstring& path = command.words[0];
  long error = 0;
  const bool opened = simulator_.open(path, &error);
  transcript_.line(L"open: " + path + (opened ? L" -> ok" : L" -> error " + std::to_wstring(error)));
  if (!opened) fail(L"cannot open " + path);
  return opened;
}

// activate, close: NAME, the file name of an open document.
bool ScriptRunner::activateOrClose(const Command& command) {
  const std::wstring& name = command.words[0];
  const bool done = command.name == L"activate" ? simulator_.activate(name) : simulator_.close(name);
  transcript_.line(command.name + L": " + name + (done ? L" -> ok" : L" -> not open"));
  if (!done) fail(name + L" is not open");
  return done;
}

bool ScriptRunner::addin(const Command& command) {
  const std::wstring& path = command.words[0];
  transcript_.line(L"addin: " + path + L" -> " + std::to_wstring(simulator_.loadAddin(path)));
  return true;
}

bool ScriptRunner::menu(const Command& command) {
  const std::wstring item = unescape(command.rest);
  transcript_.line(L"menu: " + item);
  const bool done = simulator_.pickMenu(item);
  if (!done) fail(L"no menu entry " + item + L" for the active document");
  return done;
}

bool ScriptRunner::invoke(const Command& command) {
  const std::wstring& exportName = command.words[0];
  transcript_.line(L"invoke: " + exportName);
  const bool done = simulator_.invokeExport(exportName);
  if (!done) fail(L"no loaded add-in exports " + exportName);
  return done;
}

bool ScriptRunner::documents(const Command&) {
  const auto documents = simulator_.openDocuments();
  transcript_.line(L"documents: " + std::to_wstring(documents.size()));
  for (const auto& d : documents)
    transcript_.line((d.active ? L"> " : L"  ") + (d.path.empty() ? d.name + L" (never saved)" : d.path));
  return true;
}

bool ScriptRunner::newDocument(const Command& command) {
  const bool made = simulator_.newDocument(command.words.empty() ? L"" : command.words[0]);
  transcript_.line(L"new-document: " + (made ? simulator_.openDocuments().back().name + L" -> ok" : L"-> failed"));
  if (!made) fail(L"unknown shape " + command.words[0]);
  return made;
}

// ---- automation calls and their answers ----

bool ScriptRunner::call(const Command& command) {
  const std::wstring line = runScriptCall(simulator_, command.rest);
  if (line.rfind(L"error: ", 0) == 0) {
    fail(line.substr(7));
    return false;
  }
  transcript_.line(line);
  return true;
}

// fail, refuse, odd: OPERATION [N] (odd: [VALUE]).
bool ScriptRunner::planAnswer(const Command& command) {
  const std::wstring& operation = command.words[0];
  int nth = 1;
  if (command.words.size() > 1 && !parseCount(command.words[1], nth)) {
    fail(command.name + L" takes a count from 1");
    return false;
  }
  std::wstring line = command.name + L": " + operation + L" " + std::to_wstring(nth);
  if (command.name == L"fail") simulator_.failCall(operation, nth);
  if (command.name == L"refuse") simulator_.refuseCall(operation, nth);
  if (command.name == L"odd") {
    VARIANT value;
    VariantInit(&value);
    std::wstring error;
    const std::wstring valueText = afterWords(command.rest, 2);
    if (!valueText.empty() && !parseScriptValue(valueText, value, error)) {
      fail(error);
      return false;
    }
    simulator_.answerOddly(operation, nth, &value);
    if (value.vt != VT_EMPTY) line += L" " + formatVariant(value);
    VariantClear(&value);
  }
  transcript_.line(line);
  return true;
}

bool ScriptRunner::callLog(const Command& command) {
  const std::wstring& setting = command.words[0];
  int limit = 0;
  if (setting == L"all") {
    simulator_.setCallLogLimit(Simulator::kUnlimitedCallLog);
  } else if (setting == L"off") {
    simulator_.setCallLogLimit(0);
  } else if (parseCount(setting, limit)) {
    simulator_.setCallLogLimit(static_cast<size_t>(limit));
  } else {
    fail(L"call-log takes all, off or a count");
    return false;
  }
  transcript_.line(L"call-log: " + setting);
  return true;
}

// ---- dialogs ----

bool ScriptRunner::answerSave(const Command& command) {
  if (command.words[0] == L"cancel") responder_.queueSaveCancel();
  else responder_.queueSavePath(command.words[0]);
  return true;
}

bool ScriptRunner::expectMessage(const Command& command) {
  expectedMessages_.push_back(unescape(command.rest));
  return true;
}

// ---- files ----

bool ScriptRunner::makeFolder(const Command& command) {
  const std::wstring& path = command.words[0];
  return fileCommand(L"mkdir: " + path, CreateDirectoryW(path.c_str(), nullptr));
}

bool ScriptRunner::deleteFile(const Command& command) {
  const std::wstring& path = command.words[0];
  return fileCommand(L"delete: " + path, DeleteFileW(path.c_str()));
}

bool ScriptRunner::copyFile(const Command& command) {
  const std::wstring &from = command.words[0], &to = command.words[1];
  return fileCommand(L"copy: " + from + L" " + to, CopyFileW(from.c_str(), to.c_str(), FALSE));
}

bool ScriptRunner::writeFile(const Command& command) {
  const std::wstring& path = command.words[0];
  const bool written = writeWholeFile(path, toUtf8(unescape(afterWords(command.rest, 1))));
  return fileCommand(L"write-file: " + path, written);
}

bool ScriptRunner::lock(const Command& command) {
  const std::wstring& path = command.words[0];
  FileHold hold;
  const bool held = hold.take(path) == 0;
  if (held) locks_.emplace_back(path, std::move(hold));
  return fileCommand(L"lock: " + path, held);
}

bool ScriptRunner::unlock(const Command& command) {
  const std::wstring& path = command.words[0];
  for (auto it = locks_.begin(); it != locks_.end(); ++it)
    if (it->first == path) {
      locks_.erase(it);  // lets go of the file
      transcript_.line(L"unlock: " + path + L" -> ok");
      return true;
    }
  transcript_.line(L"unlock: " + path + L" -> not locked");
  fail(path + L" is not locked");
  return false;
}

// ---- documents written directly, and what they hold ----

bool ScriptRunner::newTree(const Command& command) {
  const std::vector<std::wstring>& words = command.words;
  TreeRecipe recipe;
  if (!parseCount(words[1], recipe.instances) || !parseCount(words[2], recipe.uniqueParts) ||
      !parseCount(words[3], recipe.depth) || !parseCount(words[4], recipe.fanOut)) {
    fail(L"new-tree takes counts from 1");
    return false;
  }
  if (words.size() > 5) recipe.shape = words[5];
  const TreeSummary tree = writeAssemblyTree(words[0], recipe);
  if (tree.top.empty()) {
    transcript_.line(L"new-tree: " + words[0] + L" -> failed");
    fail(L"cannot write the tree " + words[0]);
    return false;
  }
  transcript_.line(L"new-tree: " + tree.top + L" -> " + std::to_wstring(tree.partInstances) + L" part instances, " +
                   std::to_wstring(tree.components) + L" components, " + std::to_wstring(tree.partFiles) +
                   L" part files, " + std::to_wstring(tree.assemblyFiles) + L" assembly files");
  return true;
}

bool ScriptRunner::newPart(const Command& command) {
  const std::wstring& path = command.words[0];
  const bool written = writePartFixture(path, command.words.size() > 1 ? command.words[1] : L"plate");
  transcript_.line(L"new-part: " + path + (written ? L" -> ok" : L" -> failed"));
  if (!written) fail(L"cannot write the part " + path);
  return written;
}

bool ScriptRunner::newAssembly(const Command& command) {
  const std::wstring& path = command.words[0];
  const std::vector<std::wstring> children(command.words.begin() + 1, command.words.end());
  const bool written = writeAssemblyFixture(path, children);
  transcript_.line(L"new-assembly: " + path + (written ? L" -> ok" : L" -> failed"));
  if (!written) fail(L"cannot write the assembly " + path);
  return written;
}

bool ScriptRunner::dump(const Command& command) {
  const std::wstring text = simulator_.dump(command.words[0]);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    transcript_.line(text.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

bool ScriptRunner::picture(const Command& command) {
  const std::wstring &path = command.words[0], &png = command.words[1];
  std::vector<Triangle> triangles;
  if (!simulator_.partBody(path, triangles)) {
    transcript_.line(L"picture: " + path + L" -> no part");
    fail(path + L" is no part");
    return false;
  }
  const bool written =
      writeBodyPicture(png, kPictureWidth, kPictureHeight, triangles, bodyCaption(path, triangles.size()));
  transcript_.line(L"picture: " + path + L" -> " + png + (written ? L"" : L" failed"));
  if (!written) fail(L"cannot write the picture " + png);
  return written;
}

bool ScriptRunner::progressPicture(const Command& command) {
  const long view = std::wcstol(command.words[0].c_str(), nullptr, 10);
  if (view < 1) {
    fail(L"progress-picture needs a view from 1");
    return false;
  }
  progress_.pictureAt(static_cast<size_t>(view), command.words[1]);
  return true;
}

}  // namespace hostsim
