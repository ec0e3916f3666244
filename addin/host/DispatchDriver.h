#pragma once
// DispatchDriver: holds at most one IDispatch reference of a host object,
// with an owns flag, and invokes operations on it by dispatch identifier.
//
// Ownership rules:
// - Adopt(p) owns a reference the caller already counted for us (an object
//   result); Borrow(p) takes a reference of its own on p.
// - AttachDispatch releases what the driver held before taking p.
// - ReleaseDispatch drops the reference (released only when owned).
// - Copying adds a reference of the copy's own (the copy owns it).
// - Destruction releases an owned reference.
// - An empty driver makes no call: Invoke gives an empty result, which the
//   typed views (HostObjects.h) turn into null, 0, FALSE or empty text.
// - A failed Invoke throws HostCallError with the operation's name and the
//   host's description.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "host/DispatchArguments.h"
#include "host/HostOperations.h"
#include "host/Variant.h"

class DispatchDriver {
 public:
  DispatchDriver() = default;
  DispatchDriver(IDispatch* p, bool owns) noexcept : p_(p), owns_(owns) {}
  static DispatchDriver Adopt(IDispatch* p) noexcept { return DispatchDriver(p, true); }
  static DispatchDriver Borrow(IDispatch* p) noexcept;

  DispatchDriver(const DispatchDriver& other) noexcept;
  DispatchDriver& operator=(const DispatchDriver& other) noexcept;
  DispatchDriver(DispatchDriver&& other) noexcept;
  DispatchDriver& operator=(DispatchDriver&& other) noexcept;
  ~DispatchDriver() { ReleaseDispatch(); }

  void AttachDispatch(IDispatch* p, bool owns = true) noexcept;
  void ReleaseDispatch() noexcept;

  IDispatch* get() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  template <typename... Args>
  Variant Invoke(const Operation& op, const Args&... args) const {
    if (!p_) return Variant();
    ArgumentStorage storage;
    auto slots = BuildArguments(storage, args...);
    return InvokeSlots(op, slots.data(), static_cast<UINT>(slots.size()));
  }

 private:
  Variant InvokeSlots(const Operation& op, VARIANTARG* slots, UINT count) const;

  IDispatch* p_ = nullptr;
  bool owns_ = false;
};
