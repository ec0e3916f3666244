#pragma once
// Small file-system helpers shared by the host search and the install and
// uninstall procedures.
#include <windows.h>

#include <io.h>

#include <cstdint>
#include <cstring>

namespace installer {

// Owns one enumeration handle of the runtime library's _findfirst family.
class FindHandle {
 public:
  explicit FindHandle(intptr_t handle) : handle_(handle) {}
  ~FindHandle() {
    if (IsValid()) _findclose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool IsValid() const { return handle_ != -1; }
  intptr_t Get() const { return handle_; }

 private:
  intptr_t handle_;
};

inline bool IsDirectoryEntry(const _finddata_t& entry) { return (entry.attrib & _A_SUBDIR) != 0; }

inline bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// An entry exists when the platform reports attributes for it (any kind).
inline bool EntryExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The runtime's _finddata_t carries no reparse-point bit, so a symbolic link
// or junction is recognised by asking the platform for the attributes.
// (Wine reports a link to a folder as 0x410 and would follow it.)
inline bool IsReparsePoint(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace installer
