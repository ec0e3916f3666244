#include "CallLog.h"

#include <windows.h>

#include "Text.h"

namespace hostsim {

void CallLog::append(std::wstring line) {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.push_back(std::move(line));
}

CallLog::Slot CallLog::reserve() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.emplace_back();
  return {generation_, lines_.size() - 1};
}

void CallLog::fill(Slot slot, std::wstring line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (slot.generation == generation_ && slot.index < lines_.size()) lines_[slot.index] = std::move(line);
}

std::vector<std::wstring> CallLog::lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

void CallLog::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
  ++generation_;
}

bool CallLog::writeTo(const std::wstring& path) const {
  std::string bytes;
  for (const std::wstring& line : lines()) bytes += toUtf8(line) + "\n";
  return writeWholeFile(path, bytes);
}

void FaultPlan::add(const std::wstring& operation, int nth, const std::wstring& description) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::wstring text = description.empty() ? L"Simulated failure of " + operation : description;
  faults_.push_back({operation, nth < 1 ? 1 : nth, text});
}

bool FaultPlan::shouldFail(const std::wstring& objectName, const std::wstring& operation,
                           std::wstring& description) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::wstring qualified = objectName + L"." + operation;
  bool fail = false;
  // Every planned fault counts the call, so two plans for one operation stay independent.
  for (auto it = faults_.begin(); it != faults_.end();) {
    if ((it->operation == operation || it->operation == qualified) && --it->remaining == 0) {
      if (!fail) description = it->description;
      fail = true;
      it = faults_.erase(it);
    } else {
      ++it;
    }
  }
  return fail;
}

bool FaultPlan::empty() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return faults_.empty();
}

}  // namespace hostsim
