#include "host/Answers.h"

#include "Messages.h"
#include "host/Bstr.h"
#include "host/HostCallError.h"
#include "host/SafeArray.h"

namespace zelm {
namespace {

[[noreturn]] void RefuseAnswer(const Operation& operation, const wchar_t* why) {
  throw HostCallError(DISP_E_TYPEMISMATCH, operation.name, why);
}

void Coerce(const Operation& operation, Variant& answer, VARTYPE type) {
  if (answer.Type() == type) return;
  Variant converted;
  if (FAILED(VariantChangeType(converted.Put(), &const_cast<VARIANT&>(answer.Get()), 0, type)))
    RefuseAnswer(operation, messages::kAnswerOfUnexpectedType);
  answer = std::move(converted);
}

// The one-dimensional array an answer holds, taken out of it so that it is
// destroyed exactly once; its element type in elementType. No array (an
// empty answer) gives an empty owner.
SafeArray TakeArray(const Operation& operation, Variant& answer, VARTYPE& elementType, const wchar_t* why) {
  if (answer.Empty()) return SafeArray();
  const VARTYPE type = answer.Type();
  if (!(type & VT_ARRAY) || (type & VT_BYREF)) RefuseAnswer(operation, why);
  elementType = static_cast<VARTYPE>(type & VT_TYPEMASK);
  VARIANT raw = answer.Release();
  SafeArray array(raw.parray);
  if (array && SafeArrayGetDim(array.Get()) != 1) RefuseAnswer(operation, why);
  return array;
}

struct Bounds {
  LONG low = 0, high = -1;
};
Bounds BoundsOf(SAFEARRAY* array) {
  Bounds bounds;
  if (array && (FAILED(SafeArrayGetLBound(array, 1, &bounds.low)) || FAILED(SafeArrayGetUBound(array, 1, &bounds.high))))
    bounds = Bounds{};
  return bounds;
}

}  // namespace

bool AsBool(const Operation& operation, Variant answer) {
  if (answer.Empty()) return false;
  Coerce(operation, answer, VT_BOOL);
  return answer.Get().boolVal != VARIANT_FALSE;
}

long AsLong(const Operation& operation, Variant answer) {
  if (answer.Empty()) return 0;
  Coerce(operation, answer, VT_I4);
  return answer.Get().lVal;
}

std::wstring AsText(const Operation& operation, Variant answer) {
  if (answer.Empty()) return {};
  Coerce(operation, answer, VT_BSTR);
  VARIANT raw = answer.Release();
  return Bstr(raw.bstrVal).Text();
}

ComRef<IDispatch> AsObject(const Operation& operation, Variant answer) {
  if (answer.Empty()) return nullptr;
  if (answer.Type() == VT_DISPATCH) return ComRef<IDispatch>(answer.Release().pdispVal);
  if (answer.Type() == VT_UNKNOWN) {
    IUnknown* unknown = answer.Get().punkVal;
    ComRef<IDispatch> object;
    if (unknown && FAILED(unknown->QueryInterface(IID_IDispatch, object.PutVoid())))
      RefuseAnswer(operation, messages::kAnswerWithoutAutomation);
    return object;
  }
  RefuseAnswer(operation, messages::kAnswerOfUnexpectedType);
}

std::vector<ComRef<IDispatch>> AsObjectList(const Operation& operation, Variant answer) {
  VARTYPE elementType = VT_EMPTY;
  SafeArray array = TakeArray(operation, answer, elementType, messages::kAnswerNotAComponentList);
  if (array && elementType != VT_DISPATCH && elementType != VT_VARIANT)
    RefuseAnswer(operation, messages::kAnswerNotAComponentList);

  std::vector<ComRef<IDispatch>> objects;
  const Bounds bounds = BoundsOf(array.Get());
  for (LONG i = bounds.low; i <= bounds.high; ++i) {
    Variant element;
    VARIANT* slot = element.Put();
    // SafeArrayGetElement hands out a reference (or a copy) of our own.
    HRESULT status = elementType == VT_DISPATCH ? SafeArrayGetElement(array.Get(), &i, &slot->pdispVal)
                                                : SafeArrayGetElement(array.Get(), &i, slot);
    if (FAILED(status)) RefuseAnswer(operation, messages::kAnswerNotAComponentList);
    if (elementType == VT_DISPATCH) slot->vt = VT_DISPATCH;
    if (ComRef<IDispatch> object = AsObject(operation, std::move(element))) objects.push_back(std::move(object));
  }
  return objects;
}

std::array<double, 6> AsSixNumbers(const Operation& operation, Variant answer) {
  VARTYPE elementType = VT_EMPTY;
  SafeArray array = TakeArray(operation, answer, elementType, messages::kAnswerNotABox);
  const Bounds bounds = BoundsOf(array.Get());
  if (!array || (elementType != VT_R8 && elementType != VT_VARIANT) || bounds.low != 0 || bounds.high < 5)
    RefuseAnswer(operation, messages::kAnswerNotABox);

  std::array<double, 6> numbers{};
  for (LONG i = 0; i < 6; ++i) {
    Variant element;
    VARIANT* slot = element.Put();
    if (elementType == VT_R8) {
      slot->vt = VT_R8;
      SafeArrayGetElement(array.Get(), &i, &slot->dblVal);
    } else {
      SafeArrayGetElement(array.Get(), &i, slot);
    }
    Coerce(operation, element, VT_R8);
    numbers[static_cast<size_t>(i)] = element.Get().dblVal;
  }
  return numbers;
}

}  // namespace zelm
