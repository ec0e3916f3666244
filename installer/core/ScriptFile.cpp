#include "core/ScriptFile.h"

namespace installer {

ReadOnlyFile::ReadOnlyFile(const char* path)
    : handle_(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {}

ReadOnlyFile::~ReadOnlyFile() {
  if (IsOpen()) CloseHandle(handle_);
}

bool ReadOnlyFile::ReadByte(char& byte) {
  if (next_ == filled_) {
    next_ = filled_ = 0;
    if (!IsOpen() || !ReadFile(handle_, buffer_, sizeof buffer_, &filled_, nullptr) || filled_ == 0) {
      filled_ = 0;
      return false;
    }
  }
  byte = buffer_[next_++];
  return true;
}

void ReadScriptLines(ReadOnlyFile& file, ScriptEntries& entries) {
  std::string line;
  bool gotByte = true;
  while (gotByte) {
    char byte = 0;
    gotByte = file.ReadByte(byte);
    if (gotByte && byte == '\r') continue;
    if (gotByte && byte != '\n') {
      line += byte;
      continue;
    }
    if (!line.empty()) entries.push_back(line);
    line.clear();
  }
}

void LoadScript(ScriptEntries& entries) {
  PathBuffer path;
  if (!path.AssignCurrentDirectory() || !path.Append("\\Script.txt")) return;
  ReadOnlyFile file(path.Get());
  if (!file.IsOpen()) return;
  ReadScriptLines(file, entries);
}

ScriptEntry SplitScriptEntry(const std::string& line) {
  const size_t colon = line.find(':');
  if (colon == std::string::npos) return {std::string(), line};
  return {line.substr(0, colon), line.substr(colon + 1)};
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The platform drops trailing dots and blanks from a path segment, so "..",
// ". ." and "... " all climb to the parent folder.
bool ClimbsToParent(const std::string& segment) {
  size_t dots = 0;
  for (char c : segment) {
    if (c == '.') ++dots;
    else if (c != ' ') return false;
  }
  return dots >= 2;
}

}  // namespace

bool StaysInsideRoot(const std::string& path) {
  // The empty path names the root itself.
  if (path.empty()) return true;
  // Paths are built only up to a NUL: "\..\0x" would pass the checks below
  // and be used as "\..".
  if (path.find('\0') != std::string::npos) return false;
  // Without a leading separator the path would lengthen the root's own name
  // ("Apps" + "x" is the sibling "Appsx").
  if (!IsSeparator(path[0])) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (ClimbsToParent(path.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace installer
