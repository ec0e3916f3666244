#pragma once
// Variant: the one owner of one VARIANT (VariantInit / VariantClear).
//
// Ownership traps:
// - Whatever the VARIANT holds (BSTR, interface, SAFEARRAY) is released
//   by VariantClear when the owner dies; take ownership out of it with
//   Release() before that.
// - Put() clears the held value before handing out the address.
// - A VT_BYREF value points at storage the Variant does not own;
//   VariantClear leaves it alone.
#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace zelm {

class Variant {
 public:
  Variant() noexcept { VariantInit(&v_); }
  // Adopts the content of raw; raw is left VT_EMPTY.
  explicit Variant(VARIANT& raw) noexcept : v_(raw) { VariantInit(&raw); }
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      VariantClear(&v_);
      v_ = other.v_;
      VariantInit(&other.v_);
    }
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }

  const VARIANT& Get() const noexcept { return v_; }
  VARIANT* Put() noexcept {
    VariantClear(&v_);
    return &v_;
  }
  VARTYPE Type() const noexcept { return v_.vt; }
  bool Empty() const noexcept { return v_.vt == VT_EMPTY || v_.vt == VT_NULL; }

  // Hands the raw VARIANT to the caller, who must clear it.
  VARIANT Release() noexcept {
    VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }

 private:
  VARIANT v_;
};

}  // namespace zelm
