// sldworks.exe: the host simulator. Without /script it shows its main window;
// with /script it runs the script with no user and exits 0 only when every
// expectation held. Add-ins of the "Apps" folder beside the executable and
// those named with /addin are loaded at start.
#include <windows.h>
#include <shellapi.h>

#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/ScriptRunner.h"
#include "core/Paths.h"
#include "core/Simulator.h"
#include "responder/Transcript.h"

namespace hostsim {

namespace {

std::vector<std::wstring> arguments() {
  int count = 0;
  wchar_t** raw = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> result;
  for (int i = 1; i < count; ++i) result.push_back(raw[i]);
  LocalFree(raw);
  return result;
}

std::wstring appsFolder() {
  wchar_t self[MAX_PATH * 2];
  DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  return folderOfPath(std::wstring(self, length)) + L"Apps";
}

int runScript(Simulator& simulator, const CommandLine& line) {
  Transcript transcript;
  ScriptRunner runner(simulator, transcript);
  for (const std::wstring& document : line.documents) runner.runLine(L"open \"" + document + L"\"", 0);
  runner.loadStartupAddins(appsFolder(), line.addins);
  bool ok = runner.runFile(line.script);
  if (!line.log.empty() && !simulator.writeCallLog(line.log)) {
    transcript.line(L"error: cannot write the call log " + line.log);
    ok = false;
  }
  transcript.line(ok ? L"result: ok" : L"result: failed");
  return ok ? 0 : 1;
}

int runWindow(Simulator& simulator, const CommandLine& line, int show) {
  for (const std::wstring& document : line.documents) simulator.open(document);
  simulator.loadAddinsFromFolder(appsFolder());
  for (const std::wstring& path : line.addins) simulator.loadAddin(path);
  MainWindow window(simulator);
  if (!window.create(show)) return 1;
  return window.run();
}

// wWinMain's work: the command line, then the script or the window.
int runSimulator(int show) {
  const CommandLine line = parseCommandLine(arguments());
  if (!line.error.empty()) {
    Transcript().line(L"error: " + line.error);
    return 2;
  }
  Simulator simulator;
  // Add-ins look for the running host when they start: register first.
  simulator.registerRunning();
  simulator.registerPartDocumentClass();
  return line.script.empty() ? runWindow(simulator, line, show) : runScript(simulator, line);
}

}  // namespace

}  // namespace hostsim

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  try {
    return hostsim::runSimulator(show);
  } catch (...) {
    return 3;
  }
}
