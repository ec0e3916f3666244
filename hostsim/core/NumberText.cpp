#include "core/NumberText.h"

#include <charconv>
#include <system_error>

#include "core/Utf8.h"

namespace hostsim {

std::string formatNumberUtf8(double value) {
  if (value == 0) value = 0;  // "-0" would only confuse a reader of the log
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error != std::errc()) return "nan";
  return std::string(buffer, end);
}

std::wstring formatNumber(double value) { return fromUtf8(formatNumberUtf8(value)); }

bool parseNumber(std::string_view text, double& value) {
  if (text.empty()) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace hostsim
