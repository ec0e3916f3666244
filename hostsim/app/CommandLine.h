// sldworks.exe [/addin PATH]... [/script FILE [/log FILE]] [DOCUMENT]...
// Documents named on the line are opened at start, before the add-ins load.
#pragma once

#include <string>
#include <vector>

namespace hostsim {

struct CommandLine {
  std::vector<std::wstring> addins;
  std::vector<std::wstring> documents;
  std::wstring script;
  std::wstring log;
  std::wstring error;  // set when the line cannot be understood
};

CommandLine parseCommandLine(const std::vector<std::wstring>& arguments);

}  // namespace hostsim
