#pragma once
// ComRef<T>: the one owner of one COM interface reference. Shared with the
// host simulator, which knows nothing else of the add-in: it belongs to
// neither program's namespace.
//
// Ownership traps:
// - ComRef(T*) ADOPTS the reference (no AddRef): use it for pointers that a
//   call handed out with a count already taken for us (QueryInterface,
//   GetActiveObject, an out-parameter). Use ComRef::Borrow(p) to take a
//   reference of our own on a pointer somebody else keeps.
// - Put() releases what is held before handing out the address, so
//   `f(ref.Put())` never leaks the previous reference.
// - Move-only: a second owner needs an explicit Copy() (or Borrow(p)).
#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(std::nullptr_t) noexcept {}  // "no object", e.g. as one branch of a ?:
  explicit ComRef(T* adopted) noexcept : p_(adopted) {}
  ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.p_, nullptr));
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }

  static ComRef Borrow(T* p) noexcept {
    if (p) p->AddRef();
    return ComRef(p);
  }

  // A second owner of the same object: a reference of its own.
  ComRef Copy() const noexcept { return Borrow(p_); }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // Releases the held reference and returns the slot for an out-parameter.
  T** Put() noexcept {
    Reset();
    return &p_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  // Gives up ownership without releasing.
  T* Detach() noexcept { return std::exchange(p_, nullptr); }

  void Reset(T* adopted = nullptr) noexcept {
    T* old = std::exchange(p_, adopted);
    if (old) old->Release();
  }

  template <typename U>
  ComRef<U> Query() const noexcept {
    ComRef<U> result;
    if (p_) p_->QueryInterface(__uuidof(U), result.PutVoid());
    return result;
  }

 private:
  T* p_ = nullptr;
};
