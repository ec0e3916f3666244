#pragma once
// Invoke: one host operation on one host object, by dispatch identifier,
// with its arguments in their natural order (DispatchArguments.h turns them
// into the slots Automation wants). It holds nothing: the caller owns the
// object, and the answer comes back as a Variant that owns what it holds;
// Answers.h reads it as the type the add-in expects.
//
// - No object (null) makes no call and answers empty, which the readers
//   turn into null, 0, false or empty text.
// - A failed call throws HostCallError with the operation's name and the
//   host's description.
// - A property put answers nothing.
#include <windows.h>
#include <oleauto.h>

#include "host/DispatchArguments.h"
#include "host/HostOperations.h"
#include "host/Variant.h"

namespace zelm {

Variant InvokeWithSlots(IDispatch* object, const Operation& operation, VARIANTARG* slots, UINT count);

template <typename... Args>
Variant Invoke(IDispatch* object, const Operation& operation, const Args&... args) {
  if (!object) return Variant();
  ArgumentStorage storage;
  auto slots = BuildArguments(storage, args...);
  return InvokeWithSlots(object, operation, slots.data(), static_cast<UINT>(slots.size()));
}

}  // namespace zelm
