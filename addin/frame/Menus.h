#pragma once
// The add-in's host menu, one set of entries per document kind: the rows of
// the command table for that kind, and nothing for a kind without rows (a
// drawing). Each set is installed once per process, the first time a
// document of its kind is found active; the host keeps the entries from then
// on.
#include <set>

#include "host/HostObjects.h"

namespace zelm {

class Menus {
 public:
  // `host` is the add-in's connection, which outlives the menus.
  explicit Menus(const HostApplication& host) noexcept : host_(host) {}
  Menus(const Menus&) = delete;
  Menus& operator=(const Menus&) = delete;

  // One menu pass: the host's menu frame is asked for first (on every pass,
  // even when every set is in), then the active document's kind, whose
  // entries go in when they are not yet. Host call failures propagate, and
  // the set is tried again on the next pass.
  void InstallForActiveDocument();

 private:
  const HostApplication& host_;
  std::set<long> installedKinds_;
};

}  // namespace zelm
