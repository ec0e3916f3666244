#include "addin/AddinTest.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace addintest {
namespace {

// What InitUserDLL3 answers when the add-in started.
constexpr long kAddinStarted = 97001;

std::wstring AddinLibraryPath() {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  const std::wstring exe(buffer.data(), length);
  return exe.substr(0, exe.rfind(L'\\') + 1) + L"ZELM_Compact.dll";
}

// The menus of each kind go in the first time a document of that kind is
// active, once per process: a part and an assembly are opened once at start,
// so that every case sees the host's events make the same calls whatever
// ran before it.
struct AddinInHost {
  hostsim::Simulator sim;
  hostsim::DialogResponder dialogs;
  long startValue = 0;
  AddinInHost() {
    if (!sim.registerRunning()) return;
    startValue = sim.loadAddin(AddinLibraryPath());
    testsupport::TempFolder folder;
    const std::wstring part = folder.file(L"piece.SLDPRT"), assembly = folder.file(L"ensemble.SLDASM");
    if (hostsim::writePartFixture(part, L"box:0,0,0,1,1,1") && hostsim::writeAssemblyFixture(assembly, {part}) &&
        sim.open(part) && sim.open(assembly)) {
      sim.close(L"ensemble.SLDASM");
      sim.close(L"piece.SLDPRT");
    } else {
      startValue = 0;
    }
  }
};

AddinInHost& Host() {
  static AddinInHost* host = new AddinInHost();  // lives as long as the process, as in the host
  return *host;
}

}  // namespace

hostsim::Simulator& AddinTest::Sim() { return Host().sim; }
hostsim::DialogResponder& AddinTest::Dialogs() { return Host().dialogs; }

void AddinTest::SetUp() {
  ASSERT_EQ(Host().startValue, kAddinStarted);
  CloseAll();
  messages_ = Dialogs().messages().size();
  saves_ = Dialogs().saveDialogs().size();
  unexpected_ = Dialogs().unexpected().size();
  Record();
}

void AddinTest::TearDown() {
  const std::vector<std::wstring> unexpected = Dialogs().unexpected();
  for (size_t i = unexpected_; i < unexpected.size(); ++i) ADD_FAILURE() << "unexpected dialog: " << testsupport::Utf8(unexpected[i]);
  CloseAll();
}

std::wstring AddinTest::Part(const std::wstring& name, const std::wstring& shape) {
  const std::wstring path = name.find(L'\\') == std::wstring::npos ? folder.file(name) : name;
  EXPECT_TRUE(hostsim::writePartFixture(path, shape)) << testsupport::Utf8(path);
  return path;
}

std::wstring AddinTest::Assembly(const std::wstring& name, const std::vector<std::wstring>& children) {
  const std::wstring path = name.find(L'\\') == std::wstring::npos ? folder.file(name) : name;
  EXPECT_TRUE(hostsim::writeAssemblyFixture(path, children)) << testsupport::Utf8(path);
  return path;
}

void AddinTest::Open(const std::wstring& path) {
  ASSERT_TRUE(Sim().open(path)) << testsupport::Utf8(path);
  Record();
}

void AddinTest::Record() {
  Sim().clearCallLog();
  references_ = Sim().liveReferences();
}

void AddinTest::CloseAll() {
  for (const std::wstring& path : Sim().openDocumentPaths()) Sim().close(path.substr(path.rfind(L'\\') + 1));
}

void AddinTest::Run(const wchar_t* exportName, const std::vector<std::wstring>& saveAnswers) {
  for (const std::wstring& answer : saveAnswers) {
    if (answer == L"cancel")
      Dialogs().queueSaveCancel();
    else
      Dialogs().queueSavePath(answer);
  }
  ASSERT_TRUE(Sim().invokeExport(exportName)) << testsupport::Utf8(exportName);
  EXPECT_EQ(Dialogs().dropSaveAnswers(), 0u) << "save answers no dialog took";
}

std::vector<std::wstring> AddinTest::CallsTo(const std::wstring& prefix) const {
  std::vector<std::wstring> lines;
  for (const std::wstring& line : Calls())
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  return lines;
}

std::vector<std::wstring> AddinTest::Messages() const {
  std::vector<std::wstring> texts;
  const auto all = Dialogs().messages();
  for (size_t i = messages_; i < all.size(); ++i) texts.push_back(all[i].text);
  return texts;
}

std::vector<std::wstring> AddinTest::LastMessages(size_t count) const {
  const std::vector<std::wstring> all = Messages();
  return std::vector<std::wstring>(all.end() - static_cast<ptrdiff_t>(std::min(count, all.size())), all.end());
}

std::vector<hostsim::SaveDialogRecord> AddinTest::SaveDialogs() const {
  const auto all = Dialogs().saveDialogs();
  return std::vector<hostsim::SaveDialogRecord>(all.begin() + static_cast<ptrdiff_t>(saves_), all.end());
}

std::vector<std::wstring> AddinTest::Dump(const std::wstring& path, const std::wstring& prefix) const {
  std::vector<std::wstring> lines;
  std::wistringstream dump(Sim().dump(path));
  for (std::wstring line; std::getline(dump, line);)
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  return lines;
}

ModelDocument AddinTest::ActiveDocument() const {
  return ModelDocument(Sim().activeDocumentObject());
}

void AddinTest::DeleteFeature(const std::wstring& name, const std::wstring& type) {
  const ModelDocument document = ActiveDocument();
  ASSERT_TRUE(document.SelectByName(name, type, 0.0, 0.0, 0.0)) << testsupport::Utf8(name);
  document.DeleteSelection(false);
  document.RebuildModel();
}

std::vector<AddinTest::FaultStep> AddinTest::FaultSteps(const std::vector<std::wstring>& calls) {
  std::vector<FaultStep> steps;
  std::map<std::wstring, int> seen;
  int menuPassLeft = 0;  // GetMenuFrame, ActiveDocument, DocumentKind
  for (size_t index = 0; index < calls.size(); ++index) {
    const std::wstring& line = calls[index];
    const std::wstring operation = line.substr(0, std::min(line.find(L'('), line.find(L" =")));
    const int nth = ++seen[operation];
    if (operation == L"Application.GetMenuFrame") menuPassLeft = 3;
    if (menuPassLeft > 0) {
      --menuPassLeft;
      continue;
    }
    steps.push_back({operation, nth, line, index});
  }
  return steps;
}

AddinTest::FaultStep AddinTest::StepOf(const std::vector<FaultStep>& steps, const std::wstring& operation) {
  for (const FaultStep& step : steps)
    if (step.operation == operation) return step;
  ADD_FAILURE() << "no step " << testsupport::Utf8(operation);
  return steps.front();
}

void AddinTest::RunFailing(const wchar_t* command, const FaultStep& step, const std::vector<std::wstring>& cleanCalls,
                           const std::wstring& saveAnswer, const std::vector<std::wstring>& lines) {
  SCOPED_TRACE(testsupport::Utf8(step.line));
  static const std::wstring kFailure = L"Panne simul\u00E9e";
  Record();
  Sim().failCall(step.operation, step.nth, kFailure);
  if (!saveAnswer.empty()) Dialogs().queueSavePath(saveAnswer);
  const size_t shown = Messages().size();

  ASSERT_TRUE(Sim().invokeExport(command));
  Dialogs().dropSaveAnswers();  // the step may come before the dialog

  const std::vector<std::wstring> calls = Calls();
  const auto failed = std::find_if(calls.begin(), calls.end(),
                                   [](const std::wstring& line) { return line.find(L"-> error 0x80020009") != std::wstring::npos; });
  ASSERT_NE(failed, calls.end()) << Lines(calls);
  EXPECT_EQ(failed->rfind(step.operation, 0), 0u);
  EXPECT_EQ(Lines(std::vector<std::wstring>(calls.begin(), failed)),
            Lines(std::vector<std::wstring>(cleanCalls.begin(), cleanCalls.begin() + static_cast<ptrdiff_t>(step.index))));
  for (auto later = failed + 1; later != calls.end(); ++later)
    EXPECT_EQ(later->find(L"Save"), std::wstring::npos) << "saved after the failure: " << testsupport::Utf8(*later);
  std::wstring message = L"Erreur du logiciel h\u00F4te pendant l'op\u00E9ration " +
                         step.operation.substr(step.operation.find(L'.') + 1) + L".\n" + kFailure;
  for (const std::wstring& line : lines) message += L"\n" + line;
  EXPECT_EQ(LastMessages(Messages().size() - shown), std::vector<std::wstring>{message});
  EXPECT_EQ(ReferencesHeld(), 0);
}

void AddinTest::ExpectOpenSourcesAsOnDisk(const SourceFeatures& sources) const {
  for (const std::wstring& path : Sim().openDocumentPaths())
    if (sources.count(path)) {
      EXPECT_EQ(Dump(path, L"feature: "), sources.at(path)) << testsupport::Utf8(path);
    }
}

size_t IndexOf(const std::vector<std::wstring>& lines, const std::wstring& prefix, size_t from) {
  for (size_t i = from; i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return i;
  return lines.size();
}

std::string Lines(const std::vector<std::wstring>& lines) {
  std::string text;
  for (const std::wstring& line : lines) text += testsupport::Utf8(line) + "\n";
  return text;
}

}  // namespace addintest
