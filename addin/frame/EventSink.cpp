#include "frame/EventSink.h"

#include <new>
#include <string>

#include "Messages.h"
#include "frame/Menus.h"
#include "host/HostCallError.h"

namespace zelm {

DispatchSink::~DispatchSink() { Disconnect(); }

bool DispatchSink::Connect(IDispatch* source) noexcept {
  if (!source) return false;

  ComRef<IProvideClassInfo2> classInfo;
  if (FAILED(source->QueryInterface(IID_IProvideClassInfo2, classInfo.PutVoid())) || !classInfo) return false;
  // Without the IID there is nothing sound to look a connection point up by.
  if (FAILED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &sourceIid_))) return false;
  classInfo.Reset();

  ComRef<IUnknown> unknown;
  if (source->QueryInterface(IID_IUnknown, unknown.PutVoid()) != S_OK || !unknown) return false;
  ComRef<IConnectionPointContainer> container;
  if (unknown->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()) != S_OK || !container)
    return false;

  ComRef<IConnectionPoint> point;
  if (container->FindConnectionPoint(sourceIid_, point.Put()) == S_OK && point) {
    DWORD newCookie = 0;
    // Kept only once advised, so Disconnect never unadvises a cookie that
    // the source did not hand out.
    if (SUCCEEDED(point->Advise(static_cast<IDispatch*>(this), &newCookie))) {
      Disconnect();
      connectionPoint_ = std::move(point);
      cookie_ = newCookie;
    }
  }
  return true;
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

  bool answer = false;
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
  exception->bstrSource = SysAllocString(messages::kAddinName);
  exception->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  exception->scode = DISP_E_EXCEPTION;
}

}  // namespace

// A failing handler is reported to the host, not to the user: the event is
// answered with DISP_E_EXCEPTION and an EXCEPINFO naming the failed host
// operation, and no message box interrupts the host's own event. The next
// event simply tries again.
HRESULT DispatchSink::Raise(const EventEntry& event, DispatchSink& sink, bool& answer,
                            EXCEPINFO* exception) noexcept {
  try {
    answer = event.handler(sink);
    return S_OK;
  } catch (const HostCallError& error) {
    try {
      Describe(exception, messages::HostCallFailed(error.OperationName()));
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

ComRef<HostEventSink> HostEventSink::Create(Menus& menus) { return ComRef<HostEventSink>(new HostEventSink(menus)); }

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
bool HostEventSink::OnDocumentOpened(DispatchSink& sink) {
  static_cast<HostEventSink&>(sink).menus_.InstallForActiveDocument();
  return false;
}

bool HostEventSink::OnActiveDocumentChanged(DispatchSink& sink) {
  static_cast<HostEventSink&>(sink).menus_.InstallForActiveDocument();
  return false;
}

bool HostEventSink::OnDocumentClosed(DispatchSink&) { return false; }

}  // namespace zelm
