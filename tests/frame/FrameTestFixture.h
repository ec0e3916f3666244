// The frame tests' fixture: a single-threaded apartment as on the host's
// thread, no host registered until the test says so, and a responder that
// answers and records the add-in's message boxes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogResponderGTest.h"
#include "FrameHarness.h"
#include "ScriptedHost.h"

namespace frametest {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ClearHostProgIds();
  }
  // No CoUninitialize: the add-in keeps its host references until the
  // process ends, as in the host.

  // Loads the add-in from the Apps folder; fails the test when it cannot.
  AddinExports Load() {
    AddinExports exports = LoadAddin(AddinPathInApps());
    EXPECT_NE(nullptr, exports.module) << "cannot load the add-in, error " << GetLastError();
    EXPECT_NE(nullptr, exports.InitUserDLL3);
    return exports;
  }

  std::vector<std::wstring> messageTexts() const { return responder.messageTexts(); }

  testsupport::CheckedDialogResponder responder;
};

// A scripted host registered as the running host application.
class RunningHostTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    RegisterProgId(L"SldWorks.Application", kTestApplicationClsid);
    host = new ScriptedHost();
    running = std::make_unique<RunningObject>(static_cast<IDispatch*>(host), kTestApplicationClsid);
    ASSERT_TRUE(running->registered());
  }

  // Replaces the running host by one with these options.
  void RunHostWith(ScriptedHostOptions options) {
    host->Release();
    running.reset();
    host = new ScriptedHost(options);
    running = std::make_unique<RunningObject>(static_cast<IDispatch*>(host), kTestApplicationClsid);
    ASSERT_TRUE(running->registered());
  }

  // Starts the add-in on that host and forgets the start-up calls.
  void Start() {
    addin = Load();
    ASSERT_NE(nullptr, addin.InitUserDLL3);
    ASSERT_EQ(97001, addin.InitUserDLL3());
    ASSERT_NE(nullptr, host->sink) << "the add-in did not advise its sink";
    host->calls.clear();
  }

  ScriptedHost* host = nullptr;  // one reference ours, never given back
  std::unique_ptr<RunningObject> running;
  AddinExports addin;
};

}  // namespace frametest
