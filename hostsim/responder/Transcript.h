// The lines a stand-in for the user prints (the simulator's script mode,
// standin.exe): to standard output, UTF-8, one per event.
#pragma once

#include <string>

namespace hostsim {

class Transcript {
 public:
  Transcript();
  void line(const std::wstring& text);
  // A text as one line: a line break shows as "\n", a backslash as it is.
  static std::wstring oneLine(const std::wstring& text);

 private:
  void* output_;  // the standard output handle, or null
};

}  // namespace hostsim
