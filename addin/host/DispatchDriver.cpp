#include "host/DispatchDriver.h"

#include <new>
#include <utility>

#include "host/HostCallError.h"

DispatchDriver DispatchDriver::Borrow(IDispatch* p) noexcept {
  if (p) p->AddRef();
  return DispatchDriver(p, true);
}

DispatchDriver::DispatchDriver(const DispatchDriver& other) noexcept : p_(other.p_), owns_(other.p_ != nullptr) {
  if (p_) p_->AddRef();
}

DispatchDriver& DispatchDriver::operator=(const DispatchDriver& other) noexcept {
  if (this != &other) {
    if (other.p_) other.p_->AddRef();
    ReleaseDispatch();
    p_ = other.p_;
    owns_ = other.p_ != nullptr;
  }
  return *this;
}

DispatchDriver::DispatchDriver(DispatchDriver&& other) noexcept
    : p_(std::exchange(other.p_, nullptr)), owns_(std::exchange(other.owns_, false)) {}

DispatchDriver& DispatchDriver::operator=(DispatchDriver&& other) noexcept {
  if (this != &other) {
    ReleaseDispatch();
    p_ = std::exchange(other.p_, nullptr);
    owns_ = std::exchange(other.owns_, false);
  }
  return *this;
}

void DispatchDriver::AttachDispatch(IDispatch* p, bool owns) noexcept {
  ReleaseDispatch();
  p_ = p;
  owns_ = owns;
}

void DispatchDriver::ReleaseDispatch() noexcept {
  IDispatch* old = std::exchange(p_, nullptr);
  if (old && owns_) old->Release();
  owns_ = false;
}

namespace {

// Frees the strings of an EXCEPINFO whatever way the call leaves.
struct ExceptionInfo {
  EXCEPINFO info{};
  ~ExceptionInfo() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
  std::wstring Description() {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    return info.bstrDescription ? std::wstring(info.bstrDescription, SysStringLen(info.bstrDescription))
                                : std::wstring();
  }
};

}  // namespace

Variant DispatchDriver::InvokeSlots(const Operation& op, VARIANTARG* slots, UINT count) const {
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = count ? slots : nullptr;
  params.cArgs = count;
  if (op.kind == InvokeKind::PropertyPut) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }

  Variant result;
  ExceptionInfo exception;
  UINT badArgument = 0;
  VARIANT* resultSlot = op.kind == InvokeKind::PropertyPut ? nullptr : result.put();
  HRESULT hr = p_->Invoke(op.id, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(op.kind), &params,
                          resultSlot, &exception.info, &badArgument);
  if (FAILED(hr)) {
    std::wstring description = hr == DISP_E_EXCEPTION ? exception.Description() : std::wstring();
    throw HostCallError(hr, op.name, description);
  }
  return result;
}

void dispatch_detail::Set(VARIANTARG& slot, ArgumentStorage& storage, const Point3& point) {
  SAFEARRAYBOUND bound{3, 0};
  SafeArray array(SafeArrayCreate(VT_R8, 1, &bound));
  if (!array) throw std::bad_alloc();
  double coordinates[3] = {point.x, point.y, point.z};
  for (LONG i = 0; i < 3; ++i)
    if (FAILED(SafeArrayPutElement(array.get(), &i, &coordinates[i]))) throw std::bad_alloc();
  slot.vt = VT_ARRAY | VT_BYREF | VT_R8;
  slot.pparray = storage.KeepArray(std::move(array));
}
