// Small text helpers shared by the simulator: UTF-8 conversion, path pieces
// and the number format of the call log and of document files.
#pragma once

#include <string>
#include <string_view>

namespace hostsim {

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);

// Shortest text that reads back as the same double ("-0.001", "10.001", "0").
std::wstring formatNumber(double value);
std::string formatNumberUtf8(double value);
bool parseNumber(std::string_view text, double& value);

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

bool fileExists(const std::wstring& path);  // a file, not a folder
long long fileSize(const std::wstring& path);  // -1 when there is no such file
// Creates or replaces the file with exactly these bytes.
bool writeWholeFile(const std::wstring& path, const std::string& bytes);
// The whole file, read with others allowed to read it too; false with the
// system error when it cannot be opened.
bool readWholeFile(const std::wstring& path, std::string& bytes, unsigned long& error);

}  // namespace hostsim
