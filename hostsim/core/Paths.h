// Windows paths, taken apart and compared as the host does.
#pragma once

#include <string>

namespace hostsim {

// Only the backslash separates folders; the folder keeps its trailing backslash.
std::wstring folderOfPath(const std::wstring& path);
std::wstring fileNameOfPath(const std::wstring& path);
std::wstring fileStem(const std::wstring& path);  // file name without its extension
// The full form of a path (GetFullPathNameW); empty for an empty path.
std::wstring fullPath(const std::wstring& path);
// A path that names its drive or starts at a root ("C:\...", "\\server\...", "\...").
bool isAbsolutePath(const std::wstring& path);

// Windows file names compare without regard to case.
bool sameFileName(const std::wstring& a, const std::wstring& b);

}  // namespace hostsim
