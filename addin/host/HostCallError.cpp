#include "host/HostCallError.h"

#include <cstdio>

namespace zelm {
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

HostCallError::HostCallError(HRESULT status, std::wstring operationName, std::wstring description)
    : status_(status), operationName_(std::move(operationName)), description_(std::move(description)) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status_));
  what_ = "host call " + Utf8(operationName_) + " failed (" + code + ")";
  if (!description_.empty()) what_ += ": " + Utf8(description_);
}

}  // namespace zelm
