#pragma once
// The exception barrier at every function the host calls into: no C++
// exception may cross into the host. A failed host call ends the command
// with one message naming the operation; anything else with a generic one.
template <typename Body>
void RunCommand(Body&& body) noexcept;

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
