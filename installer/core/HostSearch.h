#pragma once
// Finds the host's executable on the local drives, and tells whether the
// add-in is already in the host's "Apps" folder.
#include "core/PathBuffer.h"

namespace installer {

// The executable that marks the host's installation folder.
constexpr const char kHostExecutable[] = "sldworks.exe";

// 1 when "sldworks.exe" was found; the buffer then holds its folder, with a
// trailing backslash. 0 otherwise.
int FindHostFolder(PathBuffer& hostFolder);

// Searches drives B: to Z: in order (never A:) for a file named exactly
// `fileName`; the first drive with a match wins. Restores the current drive
// and directory afterwards. 1 on a find, with the file's folder (trailing
// backslash) in `pathBuffer`; 0 otherwise.
int FindFileOnDrives(PathBuffer& pathBuffer, const char* fileName);

// Depth-first search, in enumeration order, of the tree under the current
// directory, whose absolute path (ending in a backslash) is in `pathBuffer`.
// Folders never match; links and junctions are not followed; a folder whose
// path would not fit in the buffer is skipped.
int SearchFolderTree(PathBuffer& pathBuffer, const char* fileName);

// 1 when an entry "<hostFolder>Apps\<addinFileName>" exists, else 0.
int IsAddinInstalled(const char* hostFolder, const char* addinFileName);

}  // namespace installer
