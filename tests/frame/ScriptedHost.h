// ScriptedHost: a small stand-in for the host application that the tests
// control exactly. It answers the few application operations the frame uses
// (GetMenuFrame, ActiveDocument, and DocumentKind / AddTopMenu /
// AddMenuEntry on the objects it hands out), records every call as a line,
// offers class information and one connection point for its event
// interface, and counts the objects it handed out that are still alive.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace frametest {

// The host's outgoing event interface, as the scripted host announces it.
extern const IID kScriptedEventsIid;

struct ScriptedHostOptions {
  bool classInfo = true;        // answers IProvideClassInfo2
  bool connectionPoints = true;  // answers IConnectionPointContainer
  bool eventsPoint = true;       // has a connection point for kScriptedEventsIid
};

class ScriptedHost : public IDispatch, public IProvideClassInfo2, public IConnectionPointContainer {
 public:
  explicit ScriptedHost(ScriptedHostOptions options = {});
  ScriptedHost(const ScriptedHost&) = delete;
  ScriptedHost& operator=(const ScriptedHost&) = delete;

  // What the host shows: the kind of the active document (0: none).
  long activeKind = 0;
  // The next call of this operation name fails with DISP_E_EXCEPTION.
  std::wstring failNext;

  // Calls received, e.g. L"GetMenuFrame", L"ActiveDocument", L"DocumentKind",
  // L"AddTopMenu(Compression@&Outils, 0)".
  std::vector<std::wstring> calls;
  int advises = 0;
  int unadvises = 0;
  IDispatch* sink = nullptr;  // the advised sink, one reference held
  // Documents and menu frames handed out and not yet released.
  static long liveObjects;
  ULONG references() const { return references_; }

  // Raises an event on the advised sink the way a host does.
  HRESULT Raise(DISPID id, std::vector<VARIANT> argumentsInOrder, VARIANT* result = nullptr,
                EXCEPINFO* exception = nullptr);

  // IUnknown (one identity for all three interfaces)
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override;
  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;
  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // Called by the connection point.
  HRESULT AdviseSink(IUnknown* candidate, DWORD* cookie);
  HRESULT UnadviseSink(DWORD cookie);
  // Called by the handed-out objects: records the call, and fails it when asked.
  bool Record(const std::wstring& line, const std::wstring& operation, EXCEPINFO* exception);

 private:
  virtual ~ScriptedHost() = default;

  ScriptedHostOptions options_;
  ULONG references_ = 1;
};

}  // namespace frametest
