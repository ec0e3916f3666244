#include "addin/AddinTest.h"

#include <algorithm>
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

struct AddinInHost {
  hostsim::Simulator sim;
  testsupport::DialogResponder dialogs;
  long startValue = 0;
  AddinInHost() {
    if (sim.registerRunning()) startValue = sim.loadAddin(AddinLibraryPath());
  }
};

AddinInHost& Host() {
  static AddinInHost* host = new AddinInHost();  // lives as long as the process, as in the host
  return *host;
}

}  // namespace

hostsim::Simulator& AddinTest::Sim() { return Host().sim; }
testsupport::DialogResponder& AddinTest::Dialogs() { return Host().dialogs; }

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

std::vector<testsupport::SaveDialogRecord> AddinTest::SaveDialogs() const {
  const auto all = Dialogs().saveDialogs();
  return std::vector<testsupport::SaveDialogRecord>(all.begin() + static_cast<ptrdiff_t>(saves_), all.end());
}

std::vector<std::wstring> AddinTest::Dump(const std::wstring& path, const std::wstring& prefix) const {
  std::vector<std::wstring> lines;
  std::wistringstream dump(Sim().dump(path));
  for (std::wstring line; std::getline(dump, line);)
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  return lines;
}

ModelDocument AddinTest::ActiveDocument() const {
  return ModelDocument(DispatchDriver::Adopt(Sim().activeDocumentObject()));
}

void AddinTest::DeleteFeature(const std::wstring& name, const std::wstring& type) {
  const ModelDocument document = ActiveDocument();
  ASSERT_TRUE(document.SelectByName(name, type, 0.0, 0.0, 0.0)) << testsupport::Utf8(name);
  document.DeleteSelection(false);
  document.RebuildModel();
}

std::string Lines(const std::vector<std::wstring>& lines) {
  std::string text;
  for (const std::wstring& line : lines) text += testsupport::Utf8(line) + "\n";
  return text;
}

}  // namespace addintest
