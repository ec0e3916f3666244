#include "frame/EventSink.h"

#include <new>
#include <string>

#include "frame/Menus.h"
#include "host/HostCallError.h"

DispatchSink::~DispatchSink() { Disconnect(); }

BOOL DispatchSink::Connect(IDispatch* source) noexcept {
  if (!source) return FALSE;

  ComRef<IProvideClassInfo2> classInfo;
  if (FAILED(source->QueryInterface(IID_IProvideClassInfo2, classInfo.put_void())) || !classInfo) return FALSE;
  // Without the IID there is nothing sound to look a connection point up by.
  if (FAILED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &sourceIid_))) return FALSE;
  classInfo.reset();

  ComRef<IUnknown> unknown;
  if (source->QueryInterface(IID_IUnknown, unknown.put_void()) != S_OK || !unknown) return FALSE;
  ComRef<IConnectionPointContainer> container;
  if (unknown->QueryInterface(IID_IConnectionPointContainer, container.put_void()) != S_OK || !container)
    return FALSE;

  ComRef<IConnectionPoint> point;
  if (container->FindConnectionPoint(sourceIid_, point.put()) == S_OK && point) {
    DWORD newCookie = 0;
    // Kept only once advised, so Disconnect never unadvises a cookie that
    // the source did not hand out.
    if (SUCCEEDED(point->Advise(static_cast<IDispatch*>(this), &newCookie))) {
      Disconnect();
      connectionPoint_ = std::move(point);
      cookie_ = newCookie;
    }
  }
  return TRUE;
}

void DispatchSink::Disconnect() noexcept {
  if (!connectionPoint_) return;
  // Taken out first: Unadvise drops the source's reference on us, which
  // must not find us half disconnected.
  ComRef<IConnectionPoint> point = std::move(connectionPoint_);
  point->Unadvise(cookie_);
  cookie_ = 0;
}

HRESULT DispatchSink::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      (!IsEqualIID(sourceIid_, IID_NULL) && IsEqualIID(iid, sourceIid_))) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

// Single-threaded by design: the host calls the sink on its own thread only.
ULONG DispatchSink::AddRef() noexcept { return ++references_; }

ULONG DispatchSink::Release() noexcept {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DispatchSink::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT DispatchSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT DispatchSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept { return E_NOTIMPL; }

HRESULT DispatchSink::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT*) noexcept {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;

  BOOL answer = FALSE;
  if (const EventEntry* event = FindEvent(id)) {
    UINT given = params ? params->cArgs : 0;
    if (given != event->argumentCount) return DISP_E_BADPARAMCOUNT;
    // The host may release its last reference on us from inside a handler
    // (by unadvising); stay alive until the call is answered.
    AddRef();
    HRESULT status = Raise(*event, *this, answer, exception);
    Release();
    if (FAILED(status)) return status;
  }
  if (result) {
    VariantClear(result);
    result->vt = VT_BOOL;
    result->boolVal = answer ? VARIANT_TRUE : VARIANT_FALSE;
  }
  return S_OK;
}

const DispatchSink::EventEntry* DispatchSink::FindEvent(DISPID id) const noexcept {
  EventTable table = Events();
  for (std::size_t i = 0; i < table.count; ++i)
    if (table.entries[i].id == id) return &table.entries[i];
  return nullptr;
}

namespace {

void Describe(EXCEPINFO* exception, const std::wstring& text) noexcept {
  if (!exception) return;
  *exception = EXCEPINFO{};
  exception->bstrSource = SysAllocString(L"ZELM_Compact");
  exception->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  exception->scode = DISP_E_EXCEPTION;
}

}  // namespace

// A failing handler is reported to the host, not to the user: the event is
// answered with DISP_E_EXCEPTION and an EXCEPINFO naming the failed host
// operation, and no message box interrupts the host's own event. The next
// event simply tries again.
HRESULT DispatchSink::Raise(const EventEntry& event, DispatchSink& sink, BOOL& answer,
                            EXCEPINFO* exception) noexcept {
  try {
    answer = event.handler(sink);
    return S_OK;
  } catch (const HostCallError& error) {
    try {
      Describe(exception, L"Erreur du logiciel hôte pendant l'opération " + error.operation() + L".");
    } catch (...) {
    }
    return DISP_E_EXCEPTION;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// ---- HostEventSink -----------------------------------------------------

HostEventSink* HostEventSink::Create() { return new HostEventSink(); }

DispatchSink::EventTable HostEventSink::Events() const noexcept {
  static const EventEntry events[] = {
      {1, 1, &HostEventSink::OnDocumentOpened},
      {2, 2, &HostEventSink::OnActiveDocumentChanged},
      {3, 0, &HostEventSink::OnDocumentClosed},
  };
  return {events, sizeof(events) / sizeof(events[0])};
}

// The menu pass calls back into the host from within the host's own event
// call; the host allows this (it is single-threaded and re-entrant).
BOOL HostEventSink::OnDocumentOpened(DispatchSink&) {
  InstallMenus();
  return FALSE;
}

BOOL HostEventSink::OnActiveDocumentChanged(DispatchSink&) {
  InstallMenus();
  return FALSE;
}

BOOL HostEventSink::OnDocumentClosed(DispatchSink&) { return FALSE; }
