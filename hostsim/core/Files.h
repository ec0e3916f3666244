// Whole files in and out, and what a path holds on disk.
#pragma once

#include <string>

namespace hostsim {

bool fileExists(const std::wstring& path);     // a file, not a folder
long long fileSize(const std::wstring& path);  // -1 when there is no such file
// Creates or replaces the file with exactly these bytes.
bool writeWholeFile(const std::wstring& path, const std::string& bytes);
// The whole file, read with others allowed to read it too; false with the
// system error when it cannot be opened.
bool readWholeFile(const std::wstring& path, std::string& bytes, unsigned long& error);

}  // namespace hostsim
