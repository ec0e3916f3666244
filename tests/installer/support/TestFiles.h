#pragma once
// File helpers for the installer tests, all through Win32 calls so that the
// tests see the drives exactly as the installer does.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace installer_test {

// Deletes everything below `folder` (read-only entries included), leaving the
// folder itself. Links and junctions are removed, never followed.
void EmptyFolder(const std::string& folder);

void MakeFolders(const std::string& path);  // like mkdir -p; fails the test on error
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadFileBytes(const std::string& path);
void CopyTree(const std::string& source, const std::string& target);

bool IsFile(const std::string& path);
bool IsFolder(const std::string& path);
bool Exists(const std::string& path);
void SetReadOnly(const std::string& path);

std::string CurrentDirectory();

// Names in a folder in the order the file system enumerates them, without
// "." and "..".
std::vector<std::string> ListFolder(const std::string& folder);

}  // namespace installer_test
