#include "frame/AddinApp.h"

#include <objbase.h>
#include <oleauto.h>

#include "host/ComRef.h"

AddinApp* theAddinApp = nullptr;

AddinApp::AddinApp(std::unique_ptr<DispatchDriver> connection)
    : HostConnection(connection ? std::move(connection) : std::make_unique<DispatchDriver>()) {}

HostApplication AddinApp::Host() const { return HostApplication(DispatchDriver(HostConnection->get(), false)); }

bool AddinApp::AttachRunningHost() {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"SldWorks.Application", &clsid))) return false;
  ComRef<IUnknown> running;
  if (FAILED(GetActiveObject(clsid, nullptr, running.put())) || !running) return false;
  ComRef<IDispatch> dispatch = running.query<IDispatch>();
  if (!dispatch) return false;
  HostConnection->AttachDispatch(dispatch.detach(), true);
  return true;
}

void AddinApp::FindHostApplication() { AttachRunningHost(); }

BOOL AddinApp::StartAddin() {
  FindHostApplication();
  return TRUE;
}
