// How long InitUserDLL3 takes in the simulator, from the call to its return:
// finding the running host, loading the library once more by name, advising
// the event sink and the first menu pass (a part is open, so the part entries
// go in). The library is loaded before the clock starts.
//
// The add-in starts once per process, as in the host, so every sample is a
// process of its own: the benchmark runs itself again with /once for each
// one. A sample's exit code is its time in microseconds plus one (0: the
// add-in did not start).
//
// Usage: AddinStartBench [SAMPLES]   (default 15)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Simulator.h"
#include "support/RemoveTree.h"

namespace {

std::wstring ExecutablePath() {
  wchar_t path[MAX_PATH];
  return std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
}

// In the temporary folder (checked: empty when unusable, and then no file is
// written or deleted).
std::wstring SamplePart() {
  const std::wstring temp = testsupport::TemporaryFolder();
  return temp.empty() ? std::wstring() : temp + L"addin-start-bench.SLDPRT";
}

DWORD OneStart() {
  hostsim::Simulator sim;
  if (!sim.open(SamplePart()) || !sim.registerRunning()) return 0;
  const std::wstring exe = ExecutablePath();
  HMODULE library = LoadLibraryW((exe.substr(0, exe.rfind(L'\\') + 1) + L"ZELM_Compact.dll").c_str());
  using Init = int (*)();
  auto init = reinterpret_cast<Init>(reinterpret_cast<void (*)()>(GetProcAddress(library, "InitUserDLL3")));
  if (!init) return 0;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const int answer = init();
  QueryPerformanceCounter(&end);
  if (answer != 97001 || sim.menus().size() != 3) return 0;
  return static_cast<DWORD>((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart) + 1;
}

// Runs one sample; its time in microseconds, or -1.
long Sample() {
  std::wstring command = L"\"" + ExecutablePath() + L"\" /once";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  DWORD code = 0;
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 0);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(code) - 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "/once") return static_cast<int>(OneStart());
  const int samples = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  if (SamplePart().empty() || !hostsim::writePartFixture(SamplePart(), L"flange")) {
    std::fprintf(stderr, "cannot write the sample part\n");
    return 1;
  }
  std::vector<long> times;
  for (int i = 0; i < samples; ++i) {
    const long time = Sample();
    if (time < 0) {
      std::fprintf(stderr, "sample %d: the add-in did not start\n", i + 1);
      return 1;
    }
    times.push_back(time);
  }
  DeleteFileW(SamplePart().c_str());
  std::sort(times.begin(), times.end());
  std::printf("InitUserDLL3 in the simulator (host connection, sink, first menu pass with a part open), "
              "%d processes: median %.2f ms, min %.2f ms, max %.2f ms\n",
              samples, times[times.size() / 2] / 1000.0, times.front() / 1000.0, times.back() / 1000.0);
  return 0;
}
