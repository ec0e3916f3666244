#include "host/HostCallError.h"

#include <cstdio>

namespace {
std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}
}  // namespace

HostCallError::HostCallError(HRESULT result, std::wstring operation, std::wstring description)
    : result_(result), operation_(std::move(operation)), description_(std::move(description)) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result_));
  what_ = "host call " + Utf8(operation_) + " failed (" + code + ")";
  if (!description_.empty()) what_ += ": " + Utf8(description_);
}
