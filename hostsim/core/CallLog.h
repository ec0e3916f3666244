// What clients asked of the simulator (the call log) and the answers a test
// has planned for them (failures, refusals and odd answers).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <limits>
#include <mutex>
#include <string>
#include <vector>

namespace hostsim {

class CallLog {
 public:
  static constexpr size_t kUnlimited = std::numeric_limits<size_t>::max();

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
  size_t size() const;  // lines held, without copying them
  std::wstring line(size_t index) const;
  void clear();
  // At most this many lines are kept (0: none); later calls are not recorded.
  void setLimit(size_t limit);
  bool writeTo(const std::wstring& path) const;  // UTF-8, one line each

 private:
  mutable std::mutex mutex_;
  std::vector<std::wstring> lines_;
  size_t limit_ = kUnlimited;
  unsigned long long generation_ = 0;  // counts clear()s
};

// "Make the Nth next call of operation X answer so." An operation is named as
// in the log, either bare ("SaveToPath") or with its object ("Document.SaveToPath").
enum class PlannedKind {
  None,
  Fail,    // DISP_E_EXCEPTION with a description, before anything is done
  Refuse,  // the operation's empty answer, nothing done
  Odd,     // done as usual, answered with a value of another type
};

struct PlannedAnswer {
  PlannedKind kind = PlannedKind::None;
  std::wstring description;  // Fail
  VARIANT value{};           // Odd: VT_EMPTY for the default odd value; owned
};

class AnswerPlan {
 public:
  ~AnswerPlan();
  void add(const std::wstring& operation, int nth, PlannedKind kind, const std::wstring& description,
           const VARIANT* value = nullptr);
  // Counts this call against every plan; the first plan whose turn it is
  // decides (the caller clears answer.value).
  PlannedAnswer take(const std::wstring& objectName, const std::wstring& operation);

 private:
  struct Plan {
    std::wstring operation;
    int remaining;
    PlannedAnswer answer;
  };
  mutable std::mutex mutex_;
  std::vector<Plan> plans_;
};

}  // namespace hostsim
