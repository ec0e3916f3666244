#include "ScriptedDispatch.h"

namespace {
std::wstring g_deferredDescription;
HRESULT __stdcall FillDescription(EXCEPINFO* info) {
  info->bstrDescription = SysAllocString(g_deferredDescription.c_str());
  info->pfnDeferredFillIn = nullptr;
  return S_OK;
}
}  // namespace

ScriptedDispatch::~ScriptedDispatch() {
  for (auto& call : calls_)
    for (auto& v : call.arguments) VariantClear(&v);
  for (auto& a : answers_) VariantClear(&a.value);
}

void ScriptedDispatch::AnswerWith(const VARIANT& value) {
  Answer a{};
  VariantInit(&a.value);
  VariantCopy(&a.value, const_cast<VARIANT*>(&value));
  a.hr = S_OK;
  answers_.push_back(a);
}
void ScriptedDispatch::AnswerText(const wchar_t* text) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);
  AnswerWith(v);
  VariantClear(&v);
}
void ScriptedDispatch::AnswerLong(long value) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = value;
  AnswerWith(v);
}
void ScriptedDispatch::AnswerBool(bool value) {
  VARIANT v;
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  AnswerWith(v);
}
void ScriptedDispatch::AnswerObject(IDispatch* object) {
  // Stored without a reference; Invoke hands out a new one, as a server does.
  Answer a{};
  a.value.vt = VT_DISPATCH;
  a.value.pdispVal = object;
  a.hr = S_FALSE;  // marker: add a reference at answer time, never clear
  answers_.push_back(a);
}
void ScriptedDispatch::FailWith(HRESULT hr, const wchar_t* description, bool deferred) {
  Answer a{};
  VariantInit(&a.value);
  a.hr = hr;
  a.description = description ? description : L"";
  a.deferred = deferred;
  answers_.push_back(a);
}

HRESULT ScriptedDispatch::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT ScriptedDispatch::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT ScriptedDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT*) {
  RecordedCall call{id, flags, {}, {}, result != nullptr};
  for (UINT i = 0; i < params->cNamedArgs; ++i) call.named.push_back(params->rgdispidNamedArgs[i]);
  for (UINT i = params->cArgs; i-- > 0;) {
    VARIANT copy;
    VariantInit(&copy);
    VARIANTARG& arg = params->rgvarg[i];
    if (arg.vt == (VT_I4 | VT_BYREF)) *arg.plVal = outLong_;
    if (arg.vt & VT_BYREF) {
      copy = arg;  // by reference: record as it arrived
    } else {
      VariantCopy(&copy, &arg);
    }
    call.arguments.push_back(copy);
  }
  calls_.push_back(call);

  if (answers_.empty()) return S_OK;
  Answer a = answers_.front();
  answers_.pop_front();
  if (a.hr == S_FALSE) {
    if (result) {
      a.value.pdispVal->AddRef();
      *result = a.value;
    }
    return S_OK;
  }
  if (FAILED(a.hr)) {
    if (a.hr == DISP_E_EXCEPTION && exception) {
      if (a.deferred) {
        g_deferredDescription = a.description;
        exception->pfnDeferredFillIn = FillDescription;
      } else {
        exception->bstrDescription = SysAllocString(a.description.c_str());
      }
      exception->bstrSource = SysAllocString(L"scripted");
    }
    return a.hr;
  }
  if (result) *result = a.value;  // hands the value over
  else VariantClear(&a.value);
  return S_OK;
}
