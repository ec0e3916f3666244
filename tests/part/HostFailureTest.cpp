// A host call that fails at the dispatch level, at every step of both part
// commands: the command stops there, gives back every host reference it
// took, shows one message naming the operation, and returns to the host.
#include <windows.h>

#include <algorithm>
#include <map>

#include "PartCommandTest.h"

namespace parttest {
namespace {

using addintest::FileBytes;

const std::wstring kFailure = L"Panne simul\u00E9e";

// One call of a clean run, named the way the host's fault plan counts it.
struct FaultPoint {
  std::wstring operation;  // "Object.Operation"
  int nth;                 // its occurrence in the run, from 1
  std::wstring line;       // the clean run's log line
};

std::wstring OperationOf(const std::wstring& line) {
  return line.substr(0, std::min(line.find(L'('), line.find(L" =")));
}

// The command's own calls: the menu passes that the host's events run after
// the source is opened again belong to the add-in's event sink.
std::vector<FaultPoint> FaultPoints(const std::vector<std::wstring>& calls) {
  std::vector<FaultPoint> points;
  std::map<std::wstring, int> seen;
  for (const std::wstring& line : calls) {
    const std::wstring operation = OperationOf(line);
    points.push_back({operation, ++seen[operation], line});
    if (operation == L"Application.OpenDocument") break;
  }
  return points;
}

class HostFailure : public PartCommandTest {
 protected:
  // Runs the command with the fault planned and checks what every failing
  // step must give; `before` lists the calls expected ahead of the failure.
  void runFailing(const std::wstring& command, const FaultPoint& point, const std::vector<std::wstring>& before) {
    SCOPED_TRACE(testing::PrintToString(point.line));
    host_.startRecording();
    host_.sim().failCall(point.operation, point.nth, kFailure);
    const size_t messagesBefore = dialogs_.messages().size();

    ASSERT_TRUE(host_.run(command));

    const std::vector<std::wstring> calls = host_.calls();
    ASSERT_EQ(calls.size(), before.size() + 1) << addintest::CallText(calls);
    EXPECT_EQ(std::vector<std::wstring>(calls.begin(), calls.end() - 1), before);
    EXPECT_EQ(calls.back().rfind(point.operation, 0), 0u) << testing::PrintToString(calls.back());
    EXPECT_NE(calls.back().find(L"-> error 0x80020009"), std::wstring::npos) << testing::PrintToString(calls.back());
    ASSERT_EQ(dialogs_.messages().size(), messagesBefore + 1);
    const std::wstring shown = dialogs_.messages().back().text;
    const std::wstring shortName = point.operation.substr(point.operation.find(L'.') + 1);
    EXPECT_NE(shown.find(shortName), std::wstring::npos) << testing::PrintToString(shown);
    EXPECT_NE(shown.find(kFailure), std::wstring::npos) << testing::PrintToString(shown);
    EXPECT_EQ(host_.referencesStillHeld(), 0);
  }
};

// CompacterPart makes about thirty calls: each case fails one stretch of
// them, so that a case stays short.
constexpr size_t kStepsPerCase = 8;

class HostFailureInCompacterPart : public HostFailure, public testing::WithParamInterface<size_t> {};

TEST_P(HostFailureInCompacterPart, AtEveryStep) {
  const std::wstring source = makePart(L"bloc.SLDPRT", L"box:0,0,0,10,20,5");
  const std::string sourceBytes = FileBytes(source);
  const std::wstring destination = folder_.file(L"copie.SLDPRT");
  openPart(source);
  compactTo(destination);
  const std::vector<FaultPoint> points = FaultPoints(host_.calls());
  ASSERT_EQ(points.size(), 31u);

  const size_t first = GetParam() * kStepsPerCase;
  const size_t last = std::min(first + kStepsPerCase, points.size());
  std::vector<std::wstring> before;
  for (size_t i = 0; i < first; ++i) before.push_back(points[i].line);
  for (size_t i = first; i < last; ++i) {
    closeAll();
    DeleteFileW(destination.c_str());
    ASSERT_TRUE(host_.open(source));
    // The dialog opens once the active document is known to be a part.
    if (i >= 3) dialogs_.queueSavePath(destination);

    runFailing(L"CompacterPart", points[i], before);

    EXPECT_EQ(FileBytes(source), sourceBytes);
    EXPECT_EQ(dialogs_.pendingSaveAnswers(), 0u);
    before.push_back(points[i].line);
  }
}

INSTANTIATE_TEST_SUITE_P(Steps, HostFailureInCompacterPart, testing::Values(0u, 1u, 2u, 3u),
                         [](const testing::TestParamInfo<size_t>& info) {
                           return "From" + std::to_string(info.param * kStepsPerCase + 1);
                         });

TEST_F(HostFailure, AtEveryStepOfDeCompacterPart) {
  const std::wstring source = makePart(L"bloc.SLDPRT", L"box:0,0,0,10,20,5");
  const std::wstring copy = folder_.file(L"copie.SLDPRT");
  openCompactedCopyOf(source, copy);
  const std::string copyBytes = FileBytes(copy);
  decompact();
  const std::vector<std::wstring> clean = host_.calls();
  std::vector<FaultPoint> points = FaultPoints(clean);
  ASSERT_EQ(points.size(), 8u);

  std::vector<std::wstring> before;
  for (const FaultPoint& point : points) {
    closeAll();
    ASSERT_TRUE(host_.open(copy));

    runFailing(L"DeCompacterPart", point, before);

    EXPECT_EQ(FileBytes(copy), copyBytes);
    before.push_back(point.line);
  }
}

}  // namespace
}  // namespace parttest
