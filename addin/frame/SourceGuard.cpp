#include "frame/SourceGuard.h"

#include "frame/CommandBarrier.h"

SourceGuard::SourceGuard(std::function<bool()> putBack, std::wstring putBackLine, std::wstring failedLine)
    : putBack_(std::move(putBack)), putBackLine_(std::move(putBackLine)), failedLine_(std::move(failedLine)) {}

SourceGuard::~SourceGuard() {
  if (!due_) return;
  bool putBack = false;
  try {
    putBack = putBack_();
  } catch (...) {
    // The failure that ended the command is the one told; this one only
    // decides what the message adds.
  }
  AddToFailureMessage(putBack ? std::move(putBackLine_) : std::move(failedLine_));
}

bool SourceGuard::PutBackNow() {
  due_ = false;
  try {
    return putBack_();
  } catch (...) {
    AddToFailureMessage(std::move(failedLine_));
    throw;
  }
}
