// The IUnknown part of a small COM object with one interface besides
// IUnknown: counted references, deleted at the last Release (derived
// classes clean up in their destructors).
#pragma once

#include <windows.h>
#include <objbase.h>

#include <atomic>

namespace hostsim {

template <typename Interface>
class SingleInterfaceObject : public Interface {
 public:
  explicit SingleInterfaceObject(const IID& iid) : iid_(iid) {}
  SingleInterfaceObject(const SingleInterfaceObject&) = delete;
  SingleInterfaceObject& operator=(const SingleInterfaceObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_) ? static_cast<Interface*>(this) : nullptr;
    if (!*object) return E_NOINTERFACE;
    this->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~SingleInterfaceObject() = default;

 private:
  const IID iid_;
  std::atomic<ULONG> references_{1};
};

}  // namespace hostsim
