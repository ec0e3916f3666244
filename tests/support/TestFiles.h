#pragma once
// Files and folders for the tests: a scratch folder removed with its content
// at the end, and whole-file reads and writes.
#include <windows.h>

#include <string>

namespace testsupport {

// A fresh folder under the temporary folder, removed with its files at the
// end (by RemoveTree, which takes nothing but what lies below it). Throws
// when it cannot be made.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // ends with a backslash
  std::wstring file(const std::wstring& name) const { return path_ + name; }
  std::wstring subfolder(const std::wstring& name) const;  // created; ends with a backslash

 private:
  std::wstring path_;
};

// The whole file, byte for byte; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
std::string Utf8(const std::wstring& text);

}  // namespace testsupport
