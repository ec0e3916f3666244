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

// Joins folder and name as they are (no separator is added) and answers
// whether nothing of that name is there. A file that exists is taken
// whatever its sharing: one held open by another program (the host holds
// its open documents' files) or one we may not read counts as present.
BOOL FileIsAbsent(const std::wstring& folder, const std::wstring& name);

// Whether two paths name the same file (or folder) as Windows sees it: equal
// once made absolute and compared without regard to case, or, where both
// exist, one file reached by two names (another drive mapping, a link, a
// short name).
bool IsSameFile(const std::wstring& first, const std::wstring& second);
