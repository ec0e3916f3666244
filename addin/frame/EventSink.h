#pragma once
// The event sinks: DispatchSink, a COM event sink that listens to one
// automation object, and HostEventSink, the one advised on the host.
//
// DispatchSink is a real COM object with one IDispatch interface, the sink
// interface: Connect finds the source's default outgoing dispinterface through
// IProvideClassInfo2 and advises the sink on its connection point; the host
// then raises events by calling Invoke with a DISPID, which is looked up in
// the event table of the derived class.
//
// Lifetime: reference counted; the object frees itself when the count
// reaches zero. The creator holds the first reference; a connection point
// holds one more while advised.
//
// No C++ exception leaves any of the COM methods: the host is not C++.
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <cstddef>

#include "host/ComRef.h"

namespace zelm {

class Menus;

class DispatchSink : public IDispatch {
 public:
  DispatchSink(const DispatchSink&) = delete;
  DispatchSink& operator=(const DispatchSink&) = delete;

  // Advises the sink on source's default source dispinterface. False when
  // source offers no class information or no connection points; true
  // otherwise, also when it has no connection point for that interface.
  bool Connect(IDispatch* source) noexcept;
  // Unadvises, when advised, and lets the connection point go.
  virtual void Disconnect() noexcept;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArgument) noexcept override;

 protected:
  // One event: its DISPID, how many arguments the host passes with it, and
  // the handler. Handlers answer a bool that goes back as a VT_BOOL result;
  // they may call into the host and may throw.
  struct EventEntry {
    DISPID id;
    UINT argumentCount;
    bool (*handler)(DispatchSink& sink);
  };
  struct EventTable {
    const EventEntry* entries;
    std::size_t count;
  };

  DispatchSink() = default;
  // Only Release destroys a sink.
  virtual ~DispatchSink();

  virtual EventTable Events() const noexcept = 0;

 private:
  const EventEntry* FindEvent(DISPID id) const noexcept;
  static HRESULT Raise(const EventEntry& event, DispatchSink& sink, bool& answer, EXCEPINFO* exception) noexcept;

  ULONG references_ = 1;
  ComRef<IConnectionPoint> connectionPoint_;
  DWORD cookie_ = 0;
  IID sourceIid_ = IID_NULL;
};

// HostEventSink: the sink advised on the host application. The host raises
//   1 (file name)        after it opened a document,
//   2 (document, kind)   when the active document changed,
//   3 (no argument)      after it closed a document;
// events 1 and 2 make a menu pass, so that the menus of a document kind
// appear the first time a document of that kind is active. Every event is
// answered FALSE; the arguments' values are not used.
class HostEventSink final : public DispatchSink {
 public:
  // The new sink's one reference goes to the caller. `menus` must outlive
  // the sink: the add-in's own do, as the add-in lives until the process
  // ends.
  static ComRef<HostEventSink> Create(Menus& menus);

 protected:
  EventTable Events() const noexcept override;

 private:
  explicit HostEventSink(Menus& menus) noexcept : menus_(menus) {}
  ~HostEventSink() override = default;

  static bool OnDocumentOpened(DispatchSink& sink);
  static bool OnActiveDocumentChanged(DispatchSink& sink);
  static bool OnDocumentClosed(DispatchSink& sink);

  Menus& menus_;
};

}  // namespace zelm
