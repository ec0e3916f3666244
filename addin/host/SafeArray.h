#pragma once
// SafeArray: the one owner of one SAFEARRAY (SafeArrayDestroy).
//
// Ownership traps:
// - SafeArray(SAFEARRAY*) ADOPTS the array. Destroying an array of
//   VT_DISPATCH or VT_BSTR releases the references or strings it holds.
// - Put() destroys the held array before handing out the address.
#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace zelm {

class SafeArray {
 public:
  SafeArray() = default;
  explicit SafeArray(SAFEARRAY* adopted) noexcept : a_(adopted) {}
  SafeArray(SafeArray&& other) noexcept : a_(std::exchange(other.a_, nullptr)) {}
  SafeArray& operator=(SafeArray&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.a_, nullptr));
    return *this;
  }
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;
  ~SafeArray() { Reset(); }

  SAFEARRAY* Get() const noexcept { return a_; }
  SAFEARRAY** Put() noexcept {
    Reset();
    return &a_;
  }
  SAFEARRAY* Release() noexcept { return std::exchange(a_, nullptr); }
  void Reset(SAFEARRAY* adopted = nullptr) noexcept {
    SAFEARRAY* old = std::exchange(a_, adopted);
    if (old) SafeArrayDestroy(old);
  }
  explicit operator bool() const noexcept { return a_ != nullptr; }

 private:
  SAFEARRAY* a_ = nullptr;
};

}  // namespace zelm
