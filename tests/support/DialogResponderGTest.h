// GoogleTest checks for DialogResponder: a test fails when the code under
// test opened a dialog that the test did not expect.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "responder/DialogResponder.h"
#include "support/TestFiles.h"

namespace testsupport {

// A responder that, when destroyed, stops watching and fails the running
// test if any unexpected dialog was met.
class CheckedDialogResponder : public hostsim::DialogResponder {
 public:
  using hostsim::DialogResponder::DialogResponder;
  ~CheckedDialogResponder() {
    stop();
    if (!unexpected().empty()) ADD_FAILURE() << "unexpected dialogs:\n" << Utf8(unexpectedReport());
  }
  // The texts of the message boxes shown so far, in order.
  std::vector<std::wstring> messageTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& message : messages()) texts.push_back(message.text);
    return texts;
  }
};

}  // namespace testsupport

#define EXPECT_NO_UNEXPECTED_DIALOGS(responder)                                              \
  EXPECT_TRUE((responder).unexpected().empty())                                              \
      << "unexpected dialogs:\n"                                                             \
      << ::testsupport::Utf8((responder).unexpectedReport())
