#pragma once
// The path rules the part and assembly commands share. FolderOfPath and
// FileNameOfPath split on the backslash only, as the host's document names
// do; the name a copy is written under is taken as Windows takes it.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

namespace zelm {

// The text up to and including the last backslash; empty without one.
std::wstring FolderOfPath(std::wstring path);

// The text after the last backslash (extension included); the whole path
// without a backslash; empty when the path ends with one.
std::wstring FileNameOfPath(std::wstring path);

// Joins folder and name as they are (no separator is added) and answers
// whether nothing of that name is there. A file that exists is taken
// whatever its sharing: one held open by another program (the host holds
// its open documents' files) or one we may not read counts as present.
bool FileIsAbsent(const std::wstring& folder, const std::wstring& name);

// The last part of the path as Windows reads it: after the last backslash or
// forward slash. Nothing when it cannot name a file of its own in a folder:
// empty, "." or "..", a stream ("a:b"), a character Windows refuses in names,
// a trailing point or blank (Windows drops them, so the file written would be
// another), or a device name ("NUL", "com1.txt"), which names no file at all.
std::optional<std::wstring> CopyNameOfPath(const std::wstring& path);

// Which file a path reaches, whatever way it is written: the volume and the
// file's index on it. Known only for a file (or folder) that exists.
struct FileIdentity {
  DWORD volume = 0, indexHigh = 0, indexLow = 0;
  bool operator==(const FileIdentity& other) const {
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
  }
};
struct FileIdentityHash {
  size_t operator()(const FileIdentity& identity) const noexcept {
    return (static_cast<size_t>(identity.volume) * 31 + identity.indexHigh) * 1000003u + identity.indexLow;
  }
};
std::optional<FileIdentity> IdentityOfFile(const std::wstring& path);

// Whether two paths name the same file (or folder) as Windows sees it: equal
// once made absolute and compared without regard to case, or, where both
// exist, one file reached by two names (another drive mapping, a link, a
// short name).
bool IsSameFile(const std::wstring& first, const std::wstring& second);

}  // namespace zelm
