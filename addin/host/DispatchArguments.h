#pragma once
// Turns C++ values into the VARIANTARG slots of one IDispatch::Invoke.
//
// Automation expects the arguments in REVERSE order: the first argument of
// the call is the last slot of DISPPARAMS::rgvarg. BuildArguments fills the
// slots from the back, so callers write arguments in their natural order.
//
// Mapping (the types the host's operations take):
//   text (std::wstring, std::wstring_view, const wchar_t*)  -> VT_BSTR
//   int, long                                               -> VT_I4
//   double                                                  -> VT_R8
//   bool                                                    -> VT_BOOL (VARIANT_TRUE / VARIANT_FALSE)
//   OutLong (a long the host fills)                         -> VT_I4 | VT_BYREF
//   Point3                                                  -> VT_ARRAY | VT_BYREF | VT_R8: a reference
//                                                              to a SAFEARRAY of x, y, z from index 0
// A Win32 BOOL is an int and would travel as VT_I4: convert it to bool first.
#include <windows.h>
#include <oleauto.h>

#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "host/Bstr.h"
#include "host/SafeArray.h"

namespace zelm {

// DISPPARAMS::rgvarg is an array of VARIANTARG; we build it from VARIANTs.
static_assert(sizeof(VARIANTARG) == sizeof(VARIANT), "VARIANTARG and VARIANT must share a layout");

struct OutLong {
  long* target;
};

struct Point3 {
  double x, y, z;
};

// Keeps what the slots of one call point at alive until Invoke has returned.
class ArgumentStorage {
 public:
  BSTR Keep(Bstr text) {
    strings_.push_back(std::move(text));
    return strings_.back().Get();
  }
  // A by-reference array argument points at a SAFEARRAY* slot: the deque
  // keeps each slot at its address while more are added.
  SAFEARRAY** KeepArray(SafeArray array) {
    arrays_.push_back(std::move(array));
    slots_.push_back(arrays_.back().Get());
    return &slots_.back();
  }

 private:
  std::vector<Bstr> strings_;
  std::deque<SafeArray> arrays_;
  std::deque<SAFEARRAY*> slots_;
};

namespace detail {

inline void Set(VARIANTARG& slot, ArgumentStorage& storage, std::wstring_view text) {
  slot.vt = VT_BSTR;
  slot.bstrVal = storage.Keep(Bstr::Copy(text));
}
inline void Set(VARIANTARG& slot, ArgumentStorage& storage, const std::wstring& text) {
  Set(slot, storage, std::wstring_view(text));
}
// Without this overload a string literal would convert to bool.
inline void Set(VARIANTARG& slot, ArgumentStorage& storage, const wchar_t* text) {
  Set(slot, storage, std::wstring_view(text ? text : L""));
}
inline void Set(VARIANTARG& slot, ArgumentStorage&, long value) {
  slot.vt = VT_I4;
  slot.lVal = value;
}
inline void Set(VARIANTARG& slot, ArgumentStorage& storage, int value) {
  Set(slot, storage, static_cast<long>(value));
}
inline void Set(VARIANTARG& slot, ArgumentStorage&, double value) {
  slot.vt = VT_R8;
  slot.dblVal = value;
}
inline void Set(VARIANTARG& slot, ArgumentStorage&, bool value) {
  slot.vt = VT_BOOL;
  slot.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}
inline void Set(VARIANTARG& slot, ArgumentStorage&, OutLong out) {
  slot.vt = VT_I4 | VT_BYREF;
  slot.plVal = out.target;
}
// Throws std::bad_alloc when the system cannot make the array.
void Set(VARIANTARG& slot, ArgumentStorage& storage, const Point3& point);

}  // namespace detail

template <typename... Args>
std::array<VARIANTARG, sizeof...(Args)> BuildArguments(ArgumentStorage& storage, const Args&... args) {
  std::array<VARIANTARG, sizeof...(Args)> slots{};
  size_t next = sizeof...(Args);
  // The fold runs left to right: the first argument lands in the last slot.
  (detail::Set(slots[--next], storage, args), ...);
  (void)next;
  (void)storage;
  return slots;
}

}  // namespace zelm
