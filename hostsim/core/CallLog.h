// What clients asked of the simulator (the call log) and the failures a test
// has planned for them (fault injection).
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace hostsim {

class CallLog {
 public:
  void append(std::wstring line);
  // A call is logged where it was received, before what it causes (events
  // and the calls their handlers make); its line is filled in when it ends.
  struct Slot {
    unsigned long long generation;
    size_t index;
  };
  Slot reserve();
  void fill(Slot slot, std::wstring line);  // dropped when the log was cleared meanwhile
  std::vector<std::wstring> lines() const;
  void clear();
  bool writeTo(const std::wstring& path) const;  // UTF-8, one line each

 private:
  mutable std::mutex mutex_;
  std::vector<std::wstring> lines_;
  unsigned long long generation_ = 0;  // counts clear()s
};

// "Make the Nth next call of operation X fail." An operation is named as in
// the log, either bare ("SaveToPath") or with its object ("Document.SaveToPath").
class FaultPlan {
 public:
  void add(const std::wstring& operation, int nth, const std::wstring& description);
  // Counts this call against the plan; true (with the description) when it is to fail.
  bool shouldFail(const std::wstring& objectName, const std::wstring& operation, std::wstring& description);
  bool empty() const;

 private:
  struct Fault {
    std::wstring operation;
    int remaining;
    std::wstring description;
  };
  mutable std::mutex mutex_;
  std::vector<Fault> faults_;
};

}  // namespace hostsim
