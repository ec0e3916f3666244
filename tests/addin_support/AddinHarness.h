// The real ZELM_Compact.dll inside a stand-in host, in the test's own
// process: the simulator is registered as the running "SldWorks.Application"
// and the library is loaded and started the way the host starts it. Shared
// by the add-in's command suites.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Simulator.h"

namespace addintest {

// What InitUserDLL3 answers when the add-in started.
constexpr long kAddinStarted = 97001;

// The library beside the test executable (a POST_BUILD step copies it).
std::wstring AddinLibraryPath();

class AddinHost {
 public:
  AddinHost();
  AddinHost(const AddinHost&) = delete;
  AddinHost& operator=(const AddinHost&) = delete;

  hostsim::Simulator& sim() { return sim_; }
  long startValue() const { return startValue_; }

  // Opens (and activates) a document directly: not in the call log.
  bool open(const std::wstring& path);

  // From here on the call log holds only what follows, and the references
  // clients hold on host objects are counted from here.
  void startRecording();
  std::vector<std::wstring> calls() const { return sim_.callLines(); }
  // References taken since startRecording and not released (0 when a
  // command gave back everything it took).
  long referencesStillHeld() const { return sim_.liveReferences() - baseline_; }

  // Calls a no-argument export of the add-in, as a menu pick does.
  bool run(const std::wstring& exportName) { return sim_.invokeExport(exportName); }

 private:
  hostsim::Simulator sim_;
  long startValue_ = 0;
  long baseline_ = 0;
};

// A call-log text argument: the text in double quotes.
std::wstring Quoted(const std::wstring& text);

// The lines that the add-in's menu pass adds to the call log each time the
// host reports a document opened or activated, once the entries for that
// kind are in (the pass only asks which document is active).
std::vector<std::wstring> MenuPassCalls(long activeKind);

// Call-log lines as one UTF-8 text, a line each: compared as such, a
// mismatch shows as a line diff.
std::string CallText(const std::vector<std::wstring>& lines);

// The whole file, byte for byte; empty when it cannot be read.
std::string FileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);

}  // namespace addintest
