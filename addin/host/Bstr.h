#pragma once
// Bstr: the one owner of one BSTR (SysAllocString / SysFreeString).
//
// Ownership traps:
// - Bstr(BSTR) ADOPTS the string; Bstr::Copy(text) allocates a new one.
// - put() frees the held string before handing out the address.
// - release() hands the string to a caller who must free it (for example
//   into a VARIANT that is then cleared).
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>
#include <utility>

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(BSTR adopted) noexcept : s_(adopted) {}
  Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) reset(std::exchange(other.s_, nullptr));
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { reset(); }

  // Allocates a BSTR holding text; throws std::bad_alloc when the system
  // cannot allocate it.
  static Bstr Copy(std::wstring_view text);

  BSTR get() const noexcept { return s_; }
  BSTR* put() noexcept {
    reset();
    return &s_;
  }
  BSTR release() noexcept { return std::exchange(s_, nullptr); }
  void reset(BSTR adopted = nullptr) noexcept {
    BSTR old = std::exchange(s_, adopted);
    if (old) SysFreeString(old);
  }

  // The text, with embedded NULs kept; a null BSTR is the empty text.
  std::wstring str() const { return s_ ? std::wstring(s_, SysStringLen(s_)) : std::wstring(); }

 private:
  BSTR s_ = nullptr;
};
