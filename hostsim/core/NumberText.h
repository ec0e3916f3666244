// Numbers as the call log and the document files write them.
#pragma once

#include <string>
#include <string_view>

namespace hostsim {

// Shortest text that reads back as the same double ("-0.001", "10.001", "0").
std::wstring formatNumber(double value);
std::string formatNumberUtf8(double value);
// The whole text is one number in that form (or any other from_chars reads).
bool parseNumber(std::string_view text, double& value);

}  // namespace hostsim
