// sldworks.exe [/addin PATH]... [/script FILE [/log FILE]]
#pragma once

#include <string>
#include <vector>

namespace hostsim {

struct CommandLine {
  std::vector<std::wstring> addins;
  std::wstring script;
  std::wstring log;
  std::wstring error;  // set when the line cannot be understood
};

CommandLine parseCommandLine(const std::vector<std::wstring>& arguments);

}  // namespace hostsim
