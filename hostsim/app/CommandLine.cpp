#include "app/CommandLine.h"

#include <windows.h>

namespace hostsim {

CommandLine parseCommandLine(const std::vector<std::wstring>& arguments) {
  CommandLine line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& option = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (_wcsicmp(option.c_str(), L"/addin") == 0 && hasValue) {
      line.addins.push_back(arguments[++i]);
    } else if (_wcsicmp(option.c_str(), L"/script") == 0 && hasValue) {
      line.script = arguments[++i];
    } else if (_wcsicmp(option.c_str(), L"/log") == 0 && hasValue) {
      line.log = arguments[++i];
    } else if (!option.empty() && option[0] != L'/') {
      line.documents.push_back(option);
    } else {
      line.error = L"unknown or incomplete option: " + option;
      return line;
    }
  }
  if (!line.log.empty() && line.script.empty()) line.error = L"/log needs /script";
  return line;
}

}  // namespace hostsim
