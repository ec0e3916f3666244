#pragma once
// PointArray: how one sketch point travels to the host's CreateLine.
//
// The host takes each end of a line as a VARIANT of type
// VT_ARRAY | VT_BYREF | VT_R8: a reference to a SAFEARRAY pointer whose
// one-dimensional array holds x, y and 0.0 from index 0. The VARIANT points
// into this object (at the array slot), so a PointArray neither copies nor
// moves; it destroys its array when it goes.
#include <windows.h>
#include <oleauto.h>

#include "host/SafeArray.h"
#include "part/PartBox.h"

class PointArray {
 public:
  // Throws std::bad_alloc when the system cannot make the array.
  explicit PointArray(SketchPoint point);
  PointArray(const PointArray&) = delete;
  PointArray& operator=(const PointArray&) = delete;

  const VARIANT& get() const noexcept { return value_; }

 private:
  SafeArray array_;
  SAFEARRAY* slot_ = nullptr;  // what the VARIANT refers to
  VARIANT value_;
};
