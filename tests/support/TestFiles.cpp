#include "support/TestFiles.h"

#include <stdexcept>

#include "core/Files.h"
#include "core/Utf8.h"
#include "support/RemoveTree.h"

namespace testsupport {

TempFolder::TempFolder() {
  const std::wstring temp = TemporaryFolder();
  if (temp.empty()) throw std::runtime_error("no usable temporary folder");
  // Wine reuses small process ids from run to run: a name is taken only when
  // the folder could be made new.
  for (unsigned attempt = GetTickCount();; ++attempt) {
    path_ = temp + L"t" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt % 100000) + L"\\";
    if (CreateDirectoryW(path_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make a temporary folder");
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring TempFolder::subfolder(const std::wstring& name) const {
  const std::wstring folder = path_ + name + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) { return hostsim::writeWholeFile(path, bytes); }

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Utf8(const std::wstring& text) { return hostsim::toUtf8(text); }

}  // namespace testsupport
