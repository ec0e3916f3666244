// What the frame tests share: the add-in's library as the build copies it,
// the stand-in they register as the running host, the add-in started once
// per process, and the menu pass as the simulator logs it.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "core/Simulator.h"
#include "host/ComRef.h"
#include "support/TestFiles.h"

namespace frametest {

// <test folder>\Apps\<name>. The library is never beside the tests: loading
// "ZELM_Compact.dll" by name must not find it there.
std::wstring AddinInApps(const wchar_t* name = L"ZELM_Compact.dll");

// Makes the ProgID name the class. Forget removes the host's two ProgIDs,
// which a test of an earlier process may have left in the prefix.
bool RegisterProgId(const wchar_t* progId, const CLSID& clsid);
void ForgetHostRegistrations();

// The running host as the tests register it: every call and the event
// connection go on to the simulator's application object, so the simulator
// logs the calls and raises the events. A test can also take away the class
// information or the connection point (the simulator always has them), and
// see the sink the add-in advised. Registered as the part document class, it
// fails to create one.
class HostTap final : public IDispatch, IProvideClassInfo2, IConnectionPointContainer, IConnectionPoint, IClassFactory {
 public:
  explicit HostTap(IDispatch* application) : application_(application) {}
  bool RegisterRunning();  // as "SldWorks.Application"
  bool RegisterFailingPartDocumentClass();
  void Revoke();

  bool classInfo = true;
  bool connectionPoint = true;
  ComRef<IDispatch> sink;  // the sink the add-in advised

  // A test's object, never freed; the add-in calls nothing else of it.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID l, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArgument) override {
    return application_->Invoke(id, iid, l, flags, params, result, exception, badArgument);
  }
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* candidate, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return point_->Unadvise(cookie); }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override {
    *object = nullptr;
    return E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  IDispatch* application_;
  ComRef<IConnectionPoint> point_;
  DWORD cookie_ = 0, classCookie_ = 0;
};

// The add-in started once in this process, as the host starts it: the
// simulator with a part open and active, reached through the tap registered
// as the running host. Made at first use; lives as long as the process.
struct StartedAddin {
  StartedAddin();
  hostsim::Simulator sim;
  HostTap tap{sim.application()};
  testsupport::TempFolder folder;
  std::wstring part;  // open and active at start
  long started = 0;   // what InitUserDLL3 answered
};
StartedAddin& Started();

void CloseAll(hostsim::Simulator& sim);

// A menu pass as the simulator logs it, with a document of that kind active
// (0: none), installing that kind's entries or not.
std::vector<std::wstring> MenuPass(long kind, bool installs = false);
inline std::vector<std::wstring> operator+(std::vector<std::wstring> first, const std::vector<std::wstring>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

}  // namespace frametest
