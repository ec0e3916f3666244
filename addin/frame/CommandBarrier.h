#pragma once
// The exception barrier at every function the host calls into: no C++
// exception may cross into the host. A failed host call ends the command
// with one message naming the operation; anything else with a generic one.
// The barrier is the one place that speaks when a command fails: what the
// command's guards put back on its way out, or could not, is added to that
// one message (AddToFailureMessage).
#include <string>

template <typename Body>
void RunCommand(Body&& body) noexcept;

// Runs one of the menu commands behind the barrier, one at a time. A
// command that reaches the add-in while another is still running (a menu
// pick posted while the first one's dialog was up, a host event) is refused
// with a message, and the first one goes on undisturbed.
void RunMenuCommand(void (*command)()) noexcept;

// A line for the message that ends the running menu command on a failure:
// what was put back, or what must not be saved.
void AddToFailureMessage(std::wstring line) noexcept;

void ReportHostCallFailure(const class HostCallError& error) noexcept;
void ReportOutOfMemory() noexcept;
void ReportUnexpectedFailure() noexcept;

#include <new>

#include "host/HostCallError.h"

template <typename Body>
void RunCommand(Body&& body) noexcept {
  try {
    body();
  } catch (const HostCallError& error) {
    ReportHostCallFailure(error);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
  } catch (...) {
    ReportUnexpectedFailure();
  }
}
