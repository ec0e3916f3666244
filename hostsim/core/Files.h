// Whole files in and out, what a path holds on disk, and a file held open.
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

// An open handle on a document's file that shares it with no one, as the
// host holds the files of its open documents (and a script's lock).
class FileHold {
 public:
  FileHold() = default;
  ~FileHold() { release(); }
  FileHold(FileHold&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  FileHold& operator=(FileHold&& other) noexcept;
  FileHold(const FileHold&) = delete;
  FileHold& operator=(const FileHold&) = delete;

  // 0 or the system error; lets go of any earlier hold. A reader that holds
  // the file only to read it once lets others read it too.
  unsigned long take(const std::wstring& path, unsigned long share = 0);
  void release();
  void* handle() const { return handle_; }

 private:
  void* handle_ = nullptr;
};

}  // namespace hostsim
