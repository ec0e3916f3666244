#include "host/Invoke.h"

#include <new>
#include <string>
#include <utility>

#include "host/HostCallError.h"

namespace zelm {
namespace {

// Frees the strings of an EXCEPINFO whatever way the call leaves.
struct ExceptionInfo {
  EXCEPINFO info{};
  ~ExceptionInfo() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
  // Some servers describe a failure only when asked (pfnDeferredFillIn).
  std::wstring Description() {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    return info.bstrDescription ? std::wstring(info.bstrDescription, SysStringLen(info.bstrDescription))
                                : std::wstring();
  }
};

}  // namespace

Variant InvokeWithSlots(IDispatch* object, const Operation& operation, VARIANTARG* slots, UINT count) {
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = count ? slots : nullptr;
  params.cArgs = count;
  if (operation.kind == InvokeKind::PropertyPut) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }

  Variant answer;
  ExceptionInfo exception;
  UINT badArgument = 0;
  VARIANT* answerSlot = operation.kind == InvokeKind::PropertyPut ? nullptr : answer.Put();
  HRESULT status = object->Invoke(operation.id, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(operation.kind),
                                  &params, answerSlot, &exception.info, &badArgument);
  if (FAILED(status)) {
    std::wstring description = status == DISP_E_EXCEPTION ? exception.Description() : std::wstring();
    throw HostCallError(status, operation.name, description);
  }
  return answer;
}

void detail::Set(VARIANTARG& slot, ArgumentStorage& storage, const Point3& point) {
  SAFEARRAYBOUND bound{3, 0};
  SafeArray array(SafeArrayCreate(VT_R8, 1, &bound));
  if (!array) throw std::bad_alloc();
  double coordinates[3] = {point.x, point.y, point.z};
  for (LONG i = 0; i < 3; ++i)
    if (FAILED(SafeArrayPutElement(array.Get(), &i, &coordinates[i]))) throw std::bad_alloc();
  slot.vt = VT_ARRAY | VT_BYREF | VT_R8;
  slot.pparray = storage.KeepArray(std::move(array));
}

}  // namespace zelm
