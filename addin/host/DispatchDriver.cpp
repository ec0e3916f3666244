#include "DispatchDriver.h"

#include <utility>

#include "Bstr.h"
#include "HostCallError.h"

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

IDispatch* DispatchDriver::DetachDispatch() noexcept {
  owns_ = false;
  return std::exchange(p_, nullptr);
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

namespace {

// Converts result in place to type, or throws a type mismatch.
void Coerce(const Operation& op, Variant& result, VARTYPE type) {
  if (result.type() == type) return;
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(&result.get()), 0, type);
  if (FAILED(hr)) throw HostCallError(DISP_E_TYPEMISMATCH, op.name, L"unexpected result type");
  *result.put() = converted;
}

}  // namespace

bool ResultAsBool(const Operation& op, Variant result) {
  if (result.empty()) return false;
  Coerce(op, result, VT_BOOL);
  return result.get().boolVal != VARIANT_FALSE;
}

long ResultAsLong(const Operation& op, Variant result) {
  if (result.empty()) return 0;
  Coerce(op, result, VT_I4);
  return result.get().lVal;
}

std::wstring ResultAsText(const Operation& op, Variant result) {
  if (result.empty()) return {};
  Coerce(op, result, VT_BSTR);
  VARIANT raw = result.release();
  return Bstr(raw.bstrVal).str();
}

DispatchDriver ResultAsObject(const Operation& op, Variant result) {
  if (result.empty()) return DispatchDriver();
  if (result.type() == VT_DISPATCH) {
    VARIANT raw = result.release();
    return DispatchDriver::Adopt(raw.pdispVal);
  }
  if (result.type() == VT_UNKNOWN) {
    IUnknown* unknown = result.get().punkVal;
    IDispatch* dispatch = nullptr;
    if (unknown && FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
      throw HostCallError(DISP_E_TYPEMISMATCH, op.name, L"object without IDispatch");
    return DispatchDriver::Adopt(dispatch);
  }
  throw HostCallError(DISP_E_TYPEMISMATCH, op.name, L"unexpected result type");
}
