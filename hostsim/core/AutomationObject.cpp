#include "AutomationObject.h"

#include <cstdio>

#include "Text.h"

namespace hostsim {

namespace {

VARTYPE expectedType(ArgType type) {
  switch (type) {
    case ArgType::Bstr: return VT_BSTR;
    case ArgType::I4: return VT_I4;
    case ArgType::R8: return VT_R8;
    case ArgType::Bool: return VT_BOOL;
    case ArgType::I4Out: return VT_I4 | VT_BYREF;
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

void Call::returnObject(IDispatch* ownedReference) {
  VariantClear(&result_);
  result_.vt = VT_DISPATCH;
  result_.pdispVal = ownedReference;
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
    bool ok = v.vt == wanted || (op.args[i] != ArgType::I4Out && v.vt == (wanted | VT_BYREF) && v.byref);
    if (op.args[i] == ArgType::I4Out && !v.plVal) ok = false;
    if (!ok) {
      if (argumentError) *argumentError = position;
      return DISP_E_TYPEMISMATCH;
    }
  }
  return S_OK;
}

void AutomationObject::logLine(const std::wstring& call, const std::wstring& outcome) const {
  session_->log.append(std::wstring(objectName_) + L"." + call + outcome);
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* argumentError) {
  try {
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
    std::wstring description;
    if (session_->faults.shouldFail(objectName_, op->name, description)) {
      if (exception) {
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"hostsim");
        exception->bstrDescription = SysAllocString(description.c_str());
        exception->scode = E_FAIL;
      }
      logLine(callText(), L" -> error " + formatHresult(DISP_E_EXCEPTION) + L" \"" + description + L"\"");
      return DISP_E_EXCEPTION;
    }
    const CallLog::Slot line = session_->log.reserve();
    perform(*op, call);
    std::wstring outcome;
    if (op->result != ResultType::None) outcome = L" -> " + formatVariant(call.result());
    session_->log.fill(line, std::wstring(objectName_) + L"." + callText() + outcome);
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
