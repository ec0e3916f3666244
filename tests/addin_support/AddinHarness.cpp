#include "AddinHarness.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace addintest {

std::wstring AddinLibraryPath() {
  std::vector<wchar_t> buffer(32768);
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::wstring exe(buffer.data(), length);
  return exe.substr(0, exe.rfind(L'\\') + 1) + L"ZELM_Compact.dll";
}

AddinHost::AddinHost() {
  if (sim_.registerRunning()) startValue_ = sim_.loadAddin(AddinLibraryPath());
}

bool AddinHost::open(const std::wstring& path) { return sim_.open(path); }

void AddinHost::startRecording() {
  sim_.clearCallLog();
  baseline_ = sim_.liveReferences();
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::vector<std::wstring> MenuPassCalls(long activeKind) {
  return {
      L"Application.GetMenuFrame() -> object",
      L"Application.ActiveDocument() -> object",
      L"Document.DocumentKind() -> " + std::to_wstring(activeKind),
  };
}

std::string CallText(const std::vector<std::wstring>& lines) {
  std::string text;
  for (const std::wstring& line : lines) {
    int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), size, nullptr, nullptr);
    text += utf8 + "\n";
  }
  return text;
}

std::string FileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace addintest
