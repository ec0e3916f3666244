#include "core/AutomationObject.h"

#include <cstdio>

#include "core/Document.h"
#include "core/NumberText.h"

namespace hostsim {

namespace {

VARTYPE expectedType(ArgType type) {
  switch (type) {
    case ArgType::Bstr: return VT_BSTR;
    case ArgType::I4: return VT_I4;
    case ArgType::R8: return VT_R8;
    case ArgType::Bool: return VT_BOOL;
    case ArgType::I4Out: return VT_I4 | VT_BYREF;
    case ArgType::PointRef: return VT_ARRAY | VT_BYREF | VT_R8;
    default: return VT_EMPTY;
  }
}

std::wstring quoted(const wchar_t* text, UINT length) {
  return L"\"" + std::wstring(text ? text : L"", text ? length : 0) + L"\"";
}

std::wstring formatArray(SAFEARRAY* array, VARTYPE elementType) {
  if (!array || SafeArrayGetDim(array) != 1) return L"[?]";
  LONG low = 0, high = -1;
  SafeArrayGetLBound(array, 1, &low);
  SafeArrayGetUBound(array, 1, &high);
  std::wstring text = L"[";
  for (LONG i = low; i <= high; ++i) {
    if (i > low) text += L", ";
    VARIANT element;
    VariantInit(&element);
    if (elementType == VT_VARIANT) {
      SafeArrayGetElement(array, &i, &element);
    } else if (elementType == VT_R8) {
      element.vt = VT_R8;
      SafeArrayGetElement(array, &i, &element.dblVal);
    } else if (elementType == VT_I4) {
      element.vt = VT_I4;
      SafeArrayGetElement(array, &i, &element.lVal);
    } else if (elementType == VT_DISPATCH) {
      element.vt = VT_DISPATCH;
      SafeArrayGetElement(array, &i, &element.pdispVal);  // adds a reference, cleared below
    } else if (elementType == VT_BSTR) {
      element.vt = VT_BSTR;
      SafeArrayGetElement(array, &i, &element.bstrVal);
    }
    text += formatVariant(element);
    VariantClear(&element);
  }
  return text + L"]";
}

bool isPoint(const VARIANT& v) {
  if (v.vt != (VT_ARRAY | VT_BYREF | VT_R8) || !v.pparray || !*v.pparray) return false;
  SAFEARRAY* array = *v.pparray;
  LONG low = -1, high = -1;
  return SafeArrayGetDim(array) == 1 && SUCCEEDED(SafeArrayGetLBound(array, 1, &low)) &&
         SUCCEEDED(SafeArrayGetUBound(array, 1, &high)) && low == 0 && high == 2;
}

// What a refused call answers: nothing, empty text, 0, FALSE, no object, no value.
void emptyAnswer(ResultType type, Call& call) {
  switch (type) {
    case ResultType::Bstr: call.returnText(L""); break;
    case ResultType::I4: call.returnInteger(0); break;
    case ResultType::Bool: call.returnBoolean(false); break;
    case ResultType::Object: call.returnObject(nullptr); break;
    default: break;
  }
}

// An odd answer by default: a text, or a number where text is documented.
VARIANT defaultOddValue(ResultType type) {
  VARIANT v;
  VariantInit(&v);
  if (type == ResultType::Bstr) {
    v.vt = VT_I4;
    v.lVal = 1;
  } else {
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(L"odd");
  }
  return v;
}

}  // namespace

std::wstring formatHresult(HRESULT hr) {
  wchar_t buffer[16];
  swprintf(buffer, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return buffer;
}

std::wstring formatVariant(const VARIANT& v) {
  if (v.vt == (VT_VARIANT | VT_BYREF)) return v.pvarVal ? formatVariant(*v.pvarVal) : L"null";
  if (v.vt & VT_ARRAY) {
    SAFEARRAY* array = (v.vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
    return formatArray(array, v.vt & VT_TYPEMASK);
  }
  const bool byRef = (v.vt & VT_BYREF) != 0;
  switch (v.vt & VT_TYPEMASK) {
    case VT_EMPTY: return L"empty";
    case VT_BSTR: {
      BSTR text = byRef ? (v.pbstrVal ? *v.pbstrVal : nullptr) : v.bstrVal;
      return quoted(text, SysStringLen(text));
    }
    case VT_I4: return std::to_wstring(byRef ? (v.plVal ? *v.plVal : 0) : v.lVal);
    case VT_R8: return formatNumber(byRef ? (v.pdblVal ? *v.pdblVal : 0) : v.dblVal);
    case VT_BOOL: return (byRef ? (v.pboolVal && *v.pboolVal) : v.boolVal) ? L"TRUE" : L"FALSE";
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      void* object = byRef ? (v.ppdispVal ? *v.ppdispVal : nullptr) : v.pdispVal;
      return object ? L"object" : L"null";
    }
    default: {
      wchar_t buffer[24];
      swprintf(buffer, 24, L"<vt 0x%X>", static_cast<unsigned>(v.vt));
      return buffer;
    }
  }
}

// ---- Call ----

Call::Call(const Operation& operation, const DISPPARAMS& params) : operation_(operation), params_(params) {
  VariantInit(&result_);
}

Call::~Call() { VariantClear(&result_); }

const VARIANT& Call::raw(size_t index) const { return params_.rgvarg[params_.cArgs - 1 - index]; }

std::wstring Call::text(size_t index) const {
  const VARIANT& v = raw(index);
  BSTR value = (v.vt & VT_BYREF) ? *v.pbstrVal : v.bstrVal;
  return std::wstring(value ? value : L"", SysStringLen(value));
}

long Call::integer(size_t index) const {
  const VARIANT& v = raw(index);
  return (v.vt & VT_BYREF) ? *v.plVal : v.lVal;
}

double Call::number(size_t index) const {
  const VARIANT& v = raw(index);
  return (v.vt & VT_BYREF) ? *v.pdblVal : v.dblVal;
}

bool Call::boolean(size_t index) const {
  const VARIANT& v = raw(index);
  return ((v.vt & VT_BYREF) ? *v.pboolVal : v.boolVal) != VARIANT_FALSE;
}

const VARIANT& Call::variant(size_t index) const {
  const VARIANT& v = raw(index);
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal) return *v.pvarVal;
  return v;
}

void Call::setOut(size_t index, long value) { *raw(index).plVal = value; }

void Call::returnText(const std::wstring& value) {
  VariantClear(&result_);
  result_.vt = VT_BSTR;
  result_.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
}

void Call::returnInteger(long value) {
  VariantClear(&result_);
  result_.vt = VT_I4;
  result_.lVal = value;
}

void Call::returnBoolean(bool value) {
  VariantClear(&result_);
  result_.vt = VT_BOOL;
  result_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void Call::returnObject(ComRef<IDispatch> object) {
  VariantClear(&result_);
  result_.vt = VT_DISPATCH;
  result_.pdispVal = object.Detach();  // the result owns it now
}

void Call::returnVariant(VARIANT owned) {
  VariantClear(&result_);
  result_ = owned;
}

std::wstring Call::describeArguments() const {
  std::wstring text;
  for (size_t i = 0; i < params_.cArgs; ++i) {
    if (i > 0) text += L", ";
    const VARIANT& v = raw(i);
    bool out = i < operation_.args.size() && operation_.args[i] == ArgType::I4Out;
    text += out ? L"&" + std::to_wstring(v.plVal ? *v.plVal : 0) : formatVariant(v);
  }
  return text;
}

// ---- AutomationObject ----

AutomationObject::AutomationObject(std::shared_ptr<Session> session, const wchar_t* objectName,
                                   const std::vector<Operation>& operations)
    : session_(std::move(session)), objectName_(objectName), operations_(operations) {
  ++session_->references;
}

AutomationObject::~AutomationObject() = default;

HRESULT AutomationObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch)
    *object = static_cast<IDispatch*>(this);
  else
    *object = queryExtra(iid);
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG AutomationObject::AddRef() {
  ++session_->references;
  return ++count_;
}

ULONG AutomationObject::Release() {
  --session_->references;
  ULONG left = --count_;
  if (left == 0) delete this;
  return left;
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  for (const Operation& op : operations_)
    if (_wcsicmp(op.name, names[0]) == 0) {
      ids[0] = op.id;
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  return DISP_E_UNKNOWNNAME;
}

const Operation* AutomationObject::find(DISPID id, WORD flags, bool& idKnown) const {
  idKnown = false;
  for (const Operation& op : operations_) {
    if (op.id != id) continue;
    idKnown = true;
    if (op.invokeKind & flags) return &op;
  }
  return nullptr;
}

HRESULT AutomationObject::checkArguments(const Operation& op, const DISPPARAMS& params,
                                         UINT* argumentError) const {
  const bool put = op.invokeKind == DISPATCH_PROPERTYPUT;
  if (put) {
    if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs ||
        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
      return DISP_E_PARAMNOTFOUND;
  } else if (params.cNamedArgs != 0) {
    return DISP_E_NONAMEDARGS;
  }
  if (params.cArgs != op.args.size()) return DISP_E_BADPARAMCOUNT;
  for (size_t i = 0; i < op.args.size(); ++i) {
    const UINT position = static_cast<UINT>(params.cArgs - 1 - i);
    const VARIANT& v = params.rgvarg[position];
    if (op.args[i] == ArgType::Variant) continue;
    const VARTYPE wanted = expectedType(op.args[i]);
    const bool exact = op.args[i] == ArgType::I4Out || op.args[i] == ArgType::PointRef;
    bool ok = v.vt == wanted || (!exact && v.vt == (wanted | VT_BYREF) && v.byref);
    if (op.args[i] == ArgType::I4Out && !v.plVal) ok = false;
    if (op.args[i] == ArgType::PointRef) ok = isPoint(v);
    if (!ok) {
      if (argumentError) *argumentError = position;
      return DISP_E_TYPEMISMATCH;
    }
  }
  return S_OK;
}

HRESULT AutomationObject::raise(EXCEPINFO* exception, const std::wstring& description) {
  if (exception) {
    *exception = EXCEPINFO{};
    exception->bstrSource = SysAllocString(L"hostsim");
    exception->bstrDescription = SysAllocString(description.c_str());
    exception->scode = E_FAIL;
  }
  return DISP_E_EXCEPTION;
}

void AutomationObject::logLine(const std::wstring& call, const std::wstring& outcome) const {
  session_->log.append(std::wstring(objectName_) + L"." + call + outcome);
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* argumentError) {
  try {
    const HostClock::Running hostAnswers(session_->clock, true);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    const DISPPARAMS& p = params ? *params : none;
    if ((p.cArgs && !p.rgvarg) || (p.cNamedArgs && !p.rgdispidNamedArgs)) return E_INVALIDARG;
    bool idKnown = false;
    const Operation* op = find(id, flags, idKnown);
    if (!op) {
      wchar_t name[32];
      swprintf(name, 32, L"[dispid 0x%lX]", static_cast<unsigned long>(id));
      Operation unknown{id, flags, name, {}, ResultType::None};
      Call call(unknown, p);
      logLine(std::wstring(name) + L"(" + call.describeArguments() + L")",
              L" -> error " + formatHresult(DISP_E_MEMBERNOTFOUND));
      return DISP_E_MEMBERNOTFOUND;
    }
    Call call(*op, p);
    const bool put = op->invokeKind == DISPATCH_PROPERTYPUT;
    auto callText = [&] {
      return put ? std::wstring(op->name) + L" = " + call.describeArguments()
                 : std::wstring(op->name) + L"(" + call.describeArguments() + L")";
    };
    HRESULT hr = checkArguments(*op, p, argumentError);
    if (FAILED(hr)) {
      logLine(callText(), L" -> error " + formatHresult(hr));
      return hr;
    }
    const std::wstring closed = L"The document was closed";
    if (!usable()) {
      logLine(callText(), L" -> error " + formatHresult(DISP_E_EXCEPTION) + L" \"" + closed + L"\"");
      return raise(exception, closed);
    }
    PlannedAnswer plan = session_->plans.take(objectName_, op->name);
    if (plan.kind == PlannedKind::Fail) {
      logLine(callText(), L" -> error " + formatHresult(DISP_E_EXCEPTION) + L" \"" + plan.description + L"\"");
      return raise(exception, plan.description);
    }
    const CallLog::Slot line = session_->log.reserve();
    std::wstring note;
    if (plan.kind == PlannedKind::Refuse) {
      emptyAnswer(op->result, call);
      for (size_t i = 0; i < op->args.size(); ++i)
        if (op->args[i] == ArgType::I4Out) call.setOut(i, kOpenRefused);
      note = L" (refused)";
    } else {
      perform(*op, call);
    }
    if (plan.kind == PlannedKind::Odd) {
      call.returnVariant(plan.value.vt == VT_EMPTY ? defaultOddValue(op->result) : plan.value);
      VariantInit(&plan.value);  // handed over to the result
      note = L" (odd answer)";
    }
    std::wstring outcome;
    if (op->result != ResultType::None || plan.kind == PlannedKind::Odd) outcome = L" -> " + formatVariant(call.result());
    session_->log.fill(line, std::wstring(objectName_) + L"." + callText() + outcome + note);
    if (result) {
      VariantInit(result);
      *result = call.result();
      VariantInit(&call.result());  // moved out
    }
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace hostsim
