#pragma once
// The distribution's file list "Script.txt": one entry per line, of the form
// kind, colon, relative path ("CF:\Docs\Notice.txt" is a file, anything else
// a folder), the path starting with a backslash.
#include <string>
#include <vector>

#include "core/PathBuffer.h"

namespace installer {

using ScriptEntries = std::vector<std::string>;

// A file opened for reading, read one byte at a time.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const char* path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  // False at the end of the file (or on a read error).
  bool ReadByte(char& byte);

 private:
  HANDLE handle_;
  char buffer_[4096];
  DWORD filled_ = 0;
  DWORD next_ = 0;
};

// Appends every non-empty line of the file to `entries`: a line feed ends a
// line, carriage returns are dropped, a last line without a line feed counts,
// nothing else is trimmed.
void ReadScriptLines(ReadOnlyFile& file, ScriptEntries& entries);

// Reads "<current directory>\Script.txt" into `entries`. A missing or
// unreadable file leaves `entries` as it was and is no error.
void LoadScript(ScriptEntries& entries);

// One entry split at its first colon.
struct ScriptEntry {
  std::string kind;
  std::string path;

  bool IsFile() const { return kind == "CF"; }  // exact, case-sensitive
};

ScriptEntry SplitScriptEntry(const std::string& line);

// True when `path`, appended to a root folder, names that root or something
// inside it: it is empty, or it starts with a separator, holds no NUL and has
// no segment that climbs to a parent (".." and the dot-and-blank forms the
// platform reads as "..").
bool StaysInsideRoot(const std::string& path);

}  // namespace installer
