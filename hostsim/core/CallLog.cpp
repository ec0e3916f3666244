#include "core/CallLog.h"

#include "core/Files.h"
#include "core/Utf8.h"

namespace hostsim {

void CallLog::append(std::wstring line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (lines_.size() < limit_) lines_.push_back(std::move(line));
}

CallLog::Slot CallLog::reserve() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (lines_.size() >= limit_) return {generation_, kUnlimited};
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

size_t CallLog::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_.size();
}

std::wstring CallLog::line(size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return index < lines_.size() ? lines_[index] : std::wstring();
}

void CallLog::clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
  ++generation_;
}

void CallLog::setLimit(size_t limit) {
  std::lock_guard<std::mutex> lock(mutex_);
  limit_ = limit;
}

bool CallLog::writeTo(const std::wstring& path) const {
  std::string bytes;
  for (const std::wstring& line : lines()) bytes += toUtf8(line) + "\n";
  return writeWholeFile(path, bytes);
}

AnswerPlan::~AnswerPlan() {
  for (Plan& plan : plans_) VariantClear(&plan.answer.value);
}

void AnswerPlan::add(const std::wstring& operation, int nth, PlannedKind kind, const std::wstring& description,
                     const VARIANT* value) {
  std::lock_guard<std::mutex> lock(mutex_);
  Plan plan{operation, nth < 1 ? 1 : nth, {kind, description, {}}};
  if (kind == PlannedKind::Fail && description.empty()) plan.answer.description = L"Simulated failure of " + operation;
  VariantInit(&plan.answer.value);
  if (value) VariantCopy(&plan.answer.value, const_cast<VARIANT*>(value));
  plans_.push_back(std::move(plan));
}

PlannedAnswer AnswerPlan::take(const std::wstring& objectName, const std::wstring& operation) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::wstring qualified = objectName + L"." + operation;
  PlannedAnswer chosen;
  VariantInit(&chosen.value);
  // Every plan counts the call, so two plans for one operation stay independent.
  for (auto it = plans_.begin(); it != plans_.end();) {
    if ((it->operation == operation || it->operation == qualified) && --it->remaining == 0) {
      if (chosen.kind == PlannedKind::None) chosen = it->answer;  // takes over the value
      else VariantClear(&it->answer.value);
      it = plans_.erase(it);
    } else {
      ++it;
    }
  }
  return chosen;
}

}  // namespace hostsim
