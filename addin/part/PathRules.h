#pragma once
// The path rules the part and assembly commands share. Only the backslash
// separates folders; a forward slash is an ordinary character here.
#include <windows.h>

#include <string>

// The text up to and including the last backslash; empty without one.
std::wstring FolderOfPath(std::wstring path);

// The text after the last backslash (extension included); the whole path
// without a backslash; empty when the path ends with one.
std::wstring FileNameOfPath(std::wstring path);

// Joins folder and name as they are (no separator is added) and tries to
// open that existing file for reading, shared with no other handle. FALSE
// when it opens (the name is taken); TRUE when it cannot be opened, for
// whatever reason.
BOOL FileIsAbsent(const std::wstring& folder, const std::wstring& name);

// The form of an absolute path that the file system accepts beyond
// MAX_PATH characters ("\\?\C:\..." or "\\?\UNC\server\..."). Shorter
// paths, and paths that cannot be made absolute, come back unchanged.
std::wstring ExtendedLengthPath(const std::wstring& path);
