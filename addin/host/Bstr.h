#pragma once
// Bstr: the one owner of one BSTR (SysAllocString / SysFreeString).
//
// Ownership traps:
// - Bstr(BSTR) ADOPTS the string; Bstr::Copy(text) allocates a new one.
// - Put() frees the held string before handing out the address.
// - Release() hands the string to a caller who must free it (for example
//   into a VARIANT that is then cleared).
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace zelm {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(BSTR adopted) noexcept : s_(adopted) {}
  Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.s_, nullptr));
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { Reset(); }

  // Allocates a BSTR holding text; throws std::bad_alloc when the system
  // cannot allocate it.
  static Bstr Copy(std::wstring_view text);

  BSTR Get() const noexcept { return s_; }
  BSTR* Put() noexcept {
    Reset();
    return &s_;
  }
  BSTR Release() noexcept { return std::exchange(s_, nullptr); }
  void Reset(BSTR adopted = nullptr) noexcept {
    BSTR old = std::exchange(s_, adopted);
    if (old) SysFreeString(old);
  }

  // The text, with embedded NULs kept; a null BSTR is the empty text.
  std::wstring Text() const { return s_ ? std::wstring(s_, SysStringLen(s_)) : std::wstring(); }

 private:
  BSTR s_ = nullptr;
};

}  // namespace zelm
