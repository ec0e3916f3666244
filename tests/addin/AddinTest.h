// The real ZELM_Compact.dll started in the host simulator, in the test's own
// process, as the host starts an add-in: once per process, with the
// simulator registered as the running host. Every case starts from a host
// with no document open and a scratch folder of its own, and sees the calls,
// messages and dialogs of its own run.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "responder/DialogResponder.h"
#include "core/Simulator.h"
#include "host/HostObjects.h"
#include "support/TestFiles.h"

namespace addintest {

using zelm::ModelDocument;

class AddinTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static hostsim::Simulator& Sim();
  static hostsim::DialogResponder& Dialogs();

  // Writes a part of that fixture shape, or an assembly of these children,
  // into the scratch folder (or at a full path).
  std::wstring Part(const std::wstring& name, const std::wstring& shape = L"box:0,0,0,10,20,5");
  std::wstring Assembly(const std::wstring& name, const std::vector<std::wstring>& children);
  // Opens and activates the document, then starts recording.
  void Open(const std::wstring& path);
  // The call log and the reference audit start here.
  void Record();
  void CloseAll();

  // Picks a command as the user does; each answer goes to the next save
  // dialog (a path, or L"cancel").
  void Run(const wchar_t* exportName, const std::vector<std::wstring>& saveAnswers = {});

  std::vector<std::wstring> Calls() const { return Sim().callLines(); }
  // The calls since Record that start with prefix.
  std::vector<std::wstring> CallsTo(const std::wstring& prefix) const;
  std::vector<std::wstring> Messages() const;  // since SetUp
  std::vector<std::wstring> LastMessages(size_t count) const;
  std::vector<hostsim::SaveDialogRecord> SaveDialogs() const;  // since SetUp
  // References taken since Record and not released.
  long ReferencesHeld() const { return Sim().liveReferences() - references_; }
  // The lines of the open document's (or file's) dump that start with prefix.
  std::vector<std::wstring> Dump(const std::wstring& path, const std::wstring& prefix) const;

  // The active document as a client of the host, to change it as a user
  // would (not recorded when done before Record).
  ModelDocument ActiveDocument() const;
  void DeleteFeature(const std::wstring& name, const std::wstring& type);

  // One call of a clean run, named as the host's fault plan counts it.
  struct FaultStep {
    std::wstring operation;  // "Object.Operation"
    int nth;                 // its occurrence in the run, from 1
    std::wstring line;       // the clean run's log line
    size_t index;            // its place in the clean run
  };
  // The command's own calls in a clean run; the menu passes that the host's
  // events cause belong to the add-in's event sink, not to the command.
  static std::vector<FaultStep> FaultSteps(const std::vector<std::wstring>& calls);
  // The first step of that operation.
  static FaultStep StepOf(const std::vector<FaultStep>& steps, const std::wstring& operation);
  // Runs the command with that step failing at the dispatch level, and
  // checks what every failing step must give: the calls before it as in the
  // clean run, nothing saved after it; one message naming the operation with
  // the host's description, then `lines` (what the command put back on its
  // way out); every reference given back.
  void RunFailing(const wchar_t* command, const FaultStep& step, const std::vector<std::wstring>& cleanCalls,
                  const std::wstring& saveAnswer, const std::vector<std::wstring>& lines);
  // No open document that stands for a source holds other features than
  // its file (`sources`: each source's, read while none was open): nothing
  // a command added, nothing it took away.
  using SourceFeatures = std::map<std::wstring, std::vector<std::wstring>>;
  void ExpectOpenSourcesAsOnDisk(const SourceFeatures& sources) const;

  testsupport::TempFolder folder;

 private:
  size_t messages_ = 0, saves_ = 0, unexpected_ = 0;
  long references_ = 0;
};

// A call-log text argument: the text in double quotes.
inline std::wstring Q(const std::wstring& text) { return L"\"" + text + L"\""; }
// The first text argument of a call-log line.
inline std::wstring FirstText(const std::wstring& line) {
  const size_t open = line.find(L'"') + 1;
  return line.substr(open, line.find(L'"', open) - open);
}
// The place of the first line from `from` on that starts with prefix.
size_t IndexOf(const std::vector<std::wstring>& lines, const std::wstring& prefix, size_t from = 0);
// The answer TRUE, to plan (Simulator::answerOddly).
inline VARIANT True() {
  VARIANT answer{};
  answer.vt = VT_BOOL;
  answer.boolVal = VARIANT_TRUE;
  return answer;
}

// Lines as one text, a line each: compared as such, a mismatch shows as a
// line diff.
std::string Lines(const std::vector<std::wstring>& lines);

inline std::vector<std::wstring> operator+(std::vector<std::wstring> first, const std::vector<std::wstring>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

}  // namespace addintest
