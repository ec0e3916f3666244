// sldworks.exe in script mode, run as its own process: the transcript, the
// exit code, dialog expectations and answers, the Apps folder, the call log,
// and the documented round trip of a box extrusion.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "hostsim/HostTestSupport.h"
#include "core/Simulator.h"

using namespace hosttest;

namespace {

std::wstring buildFolderOfThisTest() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.rfind(L'\\') + 1);
}

std::wstring simulatorPath() { return buildFolderOfThisTest() + L"..\\..\\hostsim\\sldworks.exe"; }
std::wstring testAddinPath() { return buildFolderOfThisTest() + L"hostsim_test_addin.dll"; }

std::wstring utf8ToWide(const std::string& bytes) {
  if (bytes.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

std::string wideToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

struct ScriptRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::vector<std::wstring> lines;
  bool has(const std::wstring& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
  bool hasPrefix(const std::wstring& prefix) const {
    return std::any_of(lines.begin(), lines.end(), [&](const std::wstring& l) { return l.rfind(prefix, 0) == 0; });
  }
  std::wstring all() const {
    std::wstring text;
    for (const auto& l : lines) text += l + L"\n";
    return text;
  }
};

// Runs the simulator on a script file and collects its standard output;
// gives up after a minute.
ScriptRun runScriptFile(const std::wstring& scriptPath, const std::wstring& extraArguments = L"",
                        const std::wstring& exe = simulatorPath()) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring commandLine = L"\"" + exe + L"\" /script \"" + scriptPath + L"\" " + extraArguments;
  PROCESS_INFORMATION process{};
  ScriptRun run;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "cannot start the simulator";
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    return run;
  }
  CloseHandle(writeEnd);
  // Read while the simulator runs and stop once it has ended, rather than
  // reading to the pipe's end: a Wine system process that the simulator
  // happens to start can inherit the pipe and keep it open long after.
  std::string output;
  auto drain = [&] {
    DWORD available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char buffer[4096];
      DWORD read = 0;
      if (!ReadFile(readEnd, buffer, available < sizeof buffer ? available : sizeof buffer, &read, nullptr) ||
          read == 0)
        break;
      output.append(buffer, read);
    }
  };
  const ULONGLONG deadline = GetTickCount64() + 60000;
  bool ended = false;
  while (!ended && GetTickCount64() < deadline) {
    drain();
    ended = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
  }
  drain();
  CloseHandle(readEnd);
  if (!ended) {
    TerminateProcess(process.hProcess, 99);
    ADD_FAILURE() << "the simulator did not end";
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  std::wistringstream text(utf8ToWide(output));
  for (std::wstring line; std::getline(text, line);) {
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    run.lines.push_back(line);
  }
  return run;
}

ScriptRun runScript(const TempFolder& folder, const std::wstring& script, const std::wstring& extraArguments = L"",
                    const std::wstring& exe = simulatorPath()) {
  const std::wstring scriptPath = folder.file(L"script.txt");
  EXPECT_TRUE(writeFileBytes(scriptPath, wideToUtf8(script)));
  return runScriptFile(scriptPath, extraArguments, exe);
}

TEST(HostsimScript, SampleRoundTripScriptShrinksAndRestoresTheFlange) {
  ScriptRun run = runScriptFile(L"P:\\samples\\documents\\envelope-round-trip.txt");
  EXPECT_EQ(run.exitCode, 0u) << run.all();
  const std::wstring sampleSize = L"size: " + std::to_wstring(sizeOfFile(L"P:\\samples\\documents\\pieces\\bride.SLDPRT")) + L" bytes";
  std::vector<std::wstring> summary;
  for (const auto& line : run.lines)
    if (line.rfind(L"body: ", 0) == 0 || line.rfind(L"size: ", 0) == 0) summary.push_back(line);
  ASSERT_EQ(summary.size(), 6u) << run.all();
  EXPECT_EQ(summary[0], L"body: 1408 triangles");
  EXPECT_EQ(summary[1], sampleSize);
  EXPECT_EQ(summary[2], L"body: 12 triangles");
  EXPECT_LT(std::stoll(summary[3].substr(6)), 4000);
  EXPECT_EQ(summary[4], L"body: 1408 triangles");
  EXPECT_EQ(summary[5], sampleSize);
  EXPECT_TRUE(run.has(L"call: Document.CreateLine([-60.001, -60.001, 0], [-60.001, 60.001, 0]) -> TRUE")) << run.all();
  EXPECT_TRUE(run.has(L"box: -60.001, -60.001, -0.001, 60.001, 60.001, 42.001")) << run.all();
  EXPECT_TRUE(run.has(L"result: ok")) << run.all();
  DeleteFileW(L"C:\\bride-enveloppe.SLDPRT");
}

// Dialog expectations and answers, and menu picks, with the test add-in
// loaded on an open part (it adds its menu for the kind active when it
// starts). Each run's exit code and the transcript lines it must hold.
TEST(HostsimScript, DialogExpectationsAnswersAndMenuPicks) {
  TempFolder folder;
  const std::wstring part = folder.file(L"p.SLDPRT"), assembly = folder.file(L"a.SLDASM");
  const std::wstring prelude = L"new-part " + part + L"\nopen " + part + L"\naddin " + testAddinPath() + L"\n";
  // Typed with its extension: Wine adds a missing one from the filter's
  // pattern in lower case (".sldprt").
  const std::wstring chosen = folder.file(L"copie.SLDPRT");
  const struct {
    std::wstring script;
    DWORD exitCode;
    std::vector<std::wstring> lines, prefixes;
  } cases[] = {
      {L"expect-message Fichier compacté avec succès dans le dossier\\nC:\\\\nouveau\\\ninvoke ShowMessage\n", 0,
       {L"addin: " + testAddinPath() + L" -> 4242", L"message: Fichier compacté avec succès dans le dossier\\nC:\\nouveau\\"},
       {}},
      {L"invoke ShowMessage\n", 1, {}, {L"error: line 4: unexpected message: Fichier compacté"}},
      {L"expect-message Autre chose\ninvoke ShowMessage\n", 1, {L"error: line 5: expected message: Autre chose"}, {}},
      {L"expect-message Jamais\n", 1, {L"error: line 0: message never shown: Jamais"}, {}},
      {L"answer-save " + chosen + L"\nexpect-message " + chosen +
           L"\ninvoke AskSave\nanswer-save cancel\nexpect-message annulé\ninvoke AskSave\n",
       0, {L"save-dialog: p.SLDPRT -> " + chosen, L"save-dialog: p.SLDPRT -> cancel"}, {}},
      {L"expect-message annulé\ninvoke AskSave\n", 1, {}, {L"error: line 5: unexpected dialog:"}},
      // The entry belongs to parts: picked on the part, missing on the assembly.
      {L"menu Compter\nnew-assembly " + assembly + L" " + part + L"\nopen " + assembly + L"\nmenu Compter\n", 1,
       {L"menu: Compter", L"error: line 7: no menu entry Compter for the active document"}, {}},
  };
  for (const auto& c : cases) {
    ScriptRun run = runScript(folder, prelude + c.script);
    SCOPED_TRACE(run.all());
    EXPECT_EQ(run.exitCode, c.exitCode);
    for (const auto& line : c.lines) EXPECT_TRUE(run.has(line)) << testing::PrintToString(line);
    for (const auto& prefix : c.prefixes) EXPECT_TRUE(run.hasPrefix(prefix)) << testing::PrintToString(prefix);
    const auto errors = std::count_if(run.lines.begin(), run.lines.end(),
                                      [](const std::wstring& line) { return line.rfind(L"error: ", 0) == 0; });
    EXPECT_EQ(errors, c.exitCode != 0 ? 1 : 0) << "one error, where expected";
  }
}

TEST(HostsimScript, AddinsOfTheAppsFolderBesideTheExecutableAreLoadedAtStart) {
  TempFolder folder;
  const std::wstring exe = folder.file(L"sldworks.exe");
  ASSERT_TRUE(CopyFileW(simulatorPath().c_str(), exe.c_str(), FALSE));
  const std::wstring apps = folder.subfolder(L"Apps");
  ASSERT_TRUE(CopyFileW(testAddinPath().c_str(), (apps + L"hostsim_test_addin.dll").c_str(), FALSE));
  ScriptRun run = runScript(folder, L"new-part " + folder.file(L"p.SLDPRT") + L"\nopen " + folder.file(L"p.SLDPRT") + L"\n",
                      L"", exe);
  EXPECT_EQ(run.exitCode, 0u) << run.all();
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines[0], L"addin: hostsim_test_addin.dll -> 4242");
}

TEST(HostsimScript, LogOptionWritesTheCallLogAndFailInjects) {
  TempFolder folder;
  const std::wstring part = folder.file(L"p.SLDPRT"), log = folder.file(L"calls.log");
  ScriptRun run = runScript(folder,
                      L"new-part " + part + L" box:0,0,0,1,1,1\nopen " + part +
                          L"\nfail SelectByName 2\ncall Document.SelectByName \"Bloc1\" \"BODYFEATURE\" 0.0 0.0 0.0\n"
                          L"call Document.SelectByName \"Bloc1\" \"BODYFEATURE\" 0.0 0.0 0.0\n",
                      L"/log \"" + log + L"\"");
  EXPECT_EQ(run.exitCode, 0u) << run.all();
  EXPECT_EQ(readFileBytes(log),
            "Document.SelectByName(\"Bloc1\", \"BODYFEATURE\", 0, 0, 0) -> TRUE\n"
            "Document.SelectByName(\"Bloc1\", \"BODYFEATURE\", 0, 0, 0) -> error 0x80020009 "
            "\"Simulated failure of SelectByName\"\n");
}

TEST(HostsimScript, UnknownCommandAndBadOpenFail) {
  TempFolder folder;
  ScriptRun run = runScript(folder, L"# a comment\n\nfrobnicate\nopen " + folder.file(L"absent.SLDPRT") + L"\n");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_TRUE(run.has(L"error: line 3: unknown command frobnicate")) << run.all();
  EXPECT_TRUE(run.has(L"open: " + folder.file(L"absent.SLDPRT") + L" -> error 2")) << run.all();
}

}  // namespace
