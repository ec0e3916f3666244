#include "ScriptedHost.h"

#include <olectl.h>

#include <functional>
#include <sstream>

#include "core/SingleInterfaceObject.h"  // from hostsim_core

namespace frametest {
using hostsim::SingleInterfaceObject;

// {5B0E2D6A-3C1F-4E8B-9A77-2F6C0D41B9E3}
const IID kScriptedEventsIid = {0x5b0e2d6a, 0x3c1f, 0x4e8b, {0x9a, 0x77, 0x2f, 0x6c, 0x0d, 0x41, 0xb9, 0xe3}};

long ScriptedHost::liveObjects = 0;

namespace {

std::wstring ArgumentText(const VARIANT& v) {
  switch (v.vt) {
    case VT_BSTR:
      return v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
    case VT_I4:
      return std::to_wstring(v.lVal);
    case VT_BOOL:
      return v.boolVal ? L"TRUE" : L"FALSE";
    default:
      return L"vt" + std::to_wstring(v.vt);
  }
}

// "Name(a, b, ...)" with the arguments in call order (rgvarg is reversed).
std::wstring CallLine(const wchar_t* name, const DISPPARAMS* params) {
  std::wstring line = name;
  if (!params || params->cArgs == 0) return line;
  line += L"(";
  for (UINT i = 0; i < params->cArgs; ++i) {
    if (i) line += L", ";
    line += ArgumentText(params->rgvarg[params->cArgs - 1 - i]);
  }
  return line + L")";
}

// A document or a menu frame handed out by the host.
class HandedOutObject : public SingleInterfaceObject<IDispatch> {
 public:
  using Handler = std::function<HRESULT(DISPID, DISPPARAMS*, VARIANT*, EXCEPINFO*)>;
  explicit HandedOutObject(Handler handler) : SingleInterfaceObject(IID_IDispatch), handler_(std::move(handler)) {
    ++ScriptedHost::liveObjects;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    return handler_(id, params, result, exception);
  }

 private:
  ~HandedOutObject() override { --ScriptedHost::liveObjects; }
  Handler handler_;
};

class EventsPoint : public SingleInterfaceObject<IConnectionPoint> {
 public:
  explicit EventsPoint(ScriptedHost* host) : SingleInterfaceObject(IID_IConnectionPoint), host_(host) { host_->AddRef(); }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    *iid = kScriptedEventsIid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
    return host_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container));
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override { return host_->AdviseSink(sink, cookie); }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return host_->UnadviseSink(cookie); }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  ~EventsPoint() override { host_->Release(); }
  ScriptedHost* host_;
};

void ReturnObject(VARIANT* result, IDispatch* object) {
  if (!result) {
    object->Release();
    return;
  }
  VariantInit(result);
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
}

void ReturnBool(VARIANT* result, bool value) {
  if (!result) return;
  VariantInit(result);
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

ScriptedHost::ScriptedHost(ScriptedHostOptions options) : options_(options) {}

ULONG ScriptedHost::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT ScriptedHost::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
    *object = static_cast<IDispatch*>(this);
  else if (options_.classInfo && (IsEqualIID(iid, IID_IProvideClassInfo2) || IsEqualIID(iid, IID_IProvideClassInfo)))
    *object = static_cast<IProvideClassInfo2*>(this);
  else if (options_.connectionPoints && IsEqualIID(iid, IID_IConnectionPointContainer))
    *object = static_cast<IConnectionPointContainer*>(this);
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

HRESULT ScriptedHost::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

bool ScriptedHost::Record(const std::wstring& line, const std::wstring& operation, EXCEPINFO* exception) {
  calls.push_back(line);
  if (failNext != operation) return true;
  failNext.clear();
  if (exception) {
    *exception = EXCEPINFO{};
    exception->bstrDescription = SysAllocString(L"scripted failure");
  }
  return false;
}

HRESULT ScriptedHost::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT*) {
  switch (id) {
    case 1: {  // ActiveDocument, property get
      if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
      if (!Record(L"ActiveDocument", L"ActiveDocument", exception)) return DISP_E_EXCEPTION;
      if (activeKind == 0) return S_OK;  // VT_EMPTY: no document
      long kind = activeKind;
      ReturnObject(result, new HandedOutObject([this, kind](DISPID op, DISPPARAMS* p, VARIANT* r, EXCEPINFO* e) {
        if (op != 0x10049) return DISP_E_MEMBERNOTFOUND;
        if (!Record(CallLine(L"DocumentKind", p), L"DocumentKind", e)) return DISP_E_EXCEPTION;
        if (r) {
          VariantInit(r);
          r->vt = VT_I4;
          r->lVal = kind;
        }
        return S_OK;
      }));
      return S_OK;
    }
    case 5: {  // GetMenuFrame
      if (!Record(L"GetMenuFrame", L"GetMenuFrame", exception)) return DISP_E_EXCEPTION;
      ReturnObject(result, new HandedOutObject([this](DISPID op, DISPPARAMS* p, VARIANT* r, EXCEPINFO* e) {
        const wchar_t* name = op == 1 ? L"AddMenuEntry" : op == 2 ? L"AddTopMenu" : nullptr;
        if (!name) return DISP_E_MEMBERNOTFOUND;
        if (!Record(CallLine(name, p), name, e)) return DISP_E_EXCEPTION;
        ReturnBool(r, true);
        return S_OK;
      }));
      return S_OK;
    }
    default:
      calls.push_back(L"dispid " + std::to_wstring(id));
      return DISP_E_MEMBERNOTFOUND;
  }
}

HRESULT ScriptedHost::GetClassInfo(ITypeInfo** info) {
  *info = nullptr;
  return E_NOTIMPL;
}

HRESULT ScriptedHost::GetGUID(DWORD kind, GUID* guid) {
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID || !guid) return E_INVALIDARG;
  *guid = kScriptedEventsIid;
  return S_OK;
}

HRESULT ScriptedHost::EnumConnectionPoints(IEnumConnectionPoints** points) {
  *points = nullptr;
  return E_NOTIMPL;
}

HRESULT ScriptedHost::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  *point = nullptr;
  if (!options_.eventsPoint || !IsEqualIID(iid, kScriptedEventsIid)) return CONNECT_E_NOCONNECTION;
  *point = new EventsPoint(this);
  return S_OK;
}

// Like a real source, the sink is asked for the event interface itself.
HRESULT ScriptedHost::AdviseSink(IUnknown* candidate, DWORD* cookie) {
  IDispatch* events = nullptr;
  if (FAILED(candidate->QueryInterface(kScriptedEventsIid, reinterpret_cast<void**>(&events))))
    return CONNECT_E_CANNOTCONNECT;
  if (sink) sink->Release();
  sink = events;
  ++advises;
  *cookie = 0x5150 + advises;
  return S_OK;
}

HRESULT ScriptedHost::UnadviseSink(DWORD cookie) {
  if (!sink || cookie != static_cast<DWORD>(0x5150 + advises)) return CONNECT_E_NOCONNECTION;
  ++unadvises;
  sink->Release();
  sink = nullptr;
  return S_OK;
}

HRESULT ScriptedHost::Raise(DISPID id, std::vector<VARIANT> argumentsInOrder, VARIANT* result,
                            EXCEPINFO* exception) {
  if (!sink) return E_UNEXPECTED;
  std::vector<VARIANT> reversed(argumentsInOrder.rbegin(), argumentsInOrder.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, exception, nullptr);
}

}  // namespace frametest
