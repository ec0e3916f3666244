#include "responder/Transcript.h"

#include <windows.h>

#include "core/Utf8.h"

namespace hostsim {

Transcript::Transcript() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  // A GUI program started from a console has no standard output of its own.
  if (output == nullptr || output == INVALID_HANDLE_VALUE) {
    if (AttachConsole(ATTACH_PARENT_PROCESS)) output = GetStdHandle(STD_OUTPUT_HANDLE);
  }
  output_ = output == INVALID_HANDLE_VALUE ? nullptr : output;
}

void Transcript::line(const std::wstring& text) {
  if (!output_) return;
  const std::string bytes = toUtf8(text + L"\n");
  DWORD written = 0;
  WriteFile(static_cast<HANDLE>(output_), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Transcript::oneLine(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\n') out += L"\\n";
    else if (c != L'\r') out += c;
  }
  return out;
}

}  // namespace hostsim
