#include "frame/AddinApp.h"

#include <objbase.h>
#include <oleauto.h>

#include <new>

#include "frame/CommandBarrier.h"
#include "frame/Dialogs.h"
#include "frame/Menus.h"

AddinApp* theAddinApp = nullptr;

namespace {
// Null stands for the process's executable, which is what resource lookups
// in a library loaded into a host use before anyone switches.
HMODULE currentResourceModule = nullptr;
}  // namespace

HMODULE CurrentResourceModule() noexcept {
  return currentResourceModule ? currentResourceModule : GetModuleHandleW(nullptr);
}

AddinApp::AddinApp(std::unique_ptr<DispatchDriver> connection)
    : HostConnection(connection ? std::move(connection) : std::make_unique<DispatchDriver>()) {}

HostApplication AddinApp::Host() const { return HostApplication(DispatchDriver(HostConnection->get(), false)); }

BOOL AddinApp::StartAddin() {
  FindHostApplication();
  if (!LoadOwnLibrary()) {
    ShowMessage(L"Impossible d'ouvrir ZELM_Compact.DLL");
    return FALSE;
  }
  ListenToHost();
  // The add-in is in place by now: a host failure in the first menu pass is
  // told to the user and does not undo the start (the next host event makes
  // another pass).
  RunCommand([] { InstallMenus(); });
  return TRUE;
}

// Loading ourselves by name takes one more reference on the library, which
// is never given back: the add-in stays in the process until it ends, so the
// sink the host holds can never point into an unloaded library.
//
// By name, the loader first looks for an already loaded module of that base
// name (wherever it was loaded from), then searches the executable's folder,
// the system folders, the current folder and PATH (Windows and Wine alike).
// A library loaded under another name therefore does not find itself.
bool AddinApp::LoadOwnLibrary() {
  ownModule = LoadLibraryW(L"ZELM_Compact.dll");
  return ownModule != nullptr;
}

// The sink's first reference goes to eventSink. Without a host there is
// nothing to listen to; whether advising worked is not looked at, since the
// add-in works without events (only its menus do not appear).
void AddinApp::ListenToHost() {
  eventSink.reset(HostEventSink::Create());
  if (*HostConnection) eventSink->Connect(HostConnection->get());
}

void AddinApp::FindHostApplication() {
  if (AttachRunningHost()) return;
  try {
    AttachCreatedPartDocument();
  } catch (...) {
    // Only an error (not an absent class) gets here; see below.
    try {
      ShowMessage(L"IDP_FAILED_TO_CREATE");
    } catch (...) {
    }
  }
}

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

namespace {

// The statuses that only say "there is no such class here". Anything else
// from the creation (out of memory, a server that fails to start, an object
// without IDispatch) is an error the user is told about.
bool ClassIsAbsent(HRESULT status) {
  switch (status) {
    case CO_E_CLASSSTRING:
    case REGDB_E_CLASSNOTREG:
    case REGDB_E_KEYMISSING:
    case CLASS_E_CLASSNOTAVAILABLE:
    case CO_E_APPNOTFOUND:
    case CO_E_DLLNOTFOUND:
      return true;
    default:
      return false;
  }
}

struct CreationError {
  HRESULT status;
};

}  // namespace

// Without a running host, a part document object of the host serves as the
// HostApplication: the host's part document class answers the application
// operations too. Returns false when the class is absent; throws
// CreationError (or bad_alloc) when the creation failed in another way.
bool AddinApp::AttachCreatedPartDocument() {
  CLSID clsid;
  HRESULT status = CLSIDFromProgID(L"SldPart.Document", &clsid);
  if (FAILED(status)) {
    if (ClassIsAbsent(status)) return false;
    throw CreationError{status};
  }
  ComRef<IUnknown> created;
  status = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                            created.put_void());
  if (FAILED(status) || !created) {
    if (ClassIsAbsent(status)) return false;
    throw CreationError{FAILED(status) ? status : E_POINTER};
  }
  ComRef<IDispatch> dispatch = created.query<IDispatch>();
  if (!dispatch) throw CreationError{E_NOINTERFACE};
  HostConnection->AttachDispatch(dispatch.detach(), true);
  return true;
}

void AddinApp::UseOwnResources() {
  savedResourceModule = currentResourceModule;
  currentResourceModule = ownModule ? ownModule : LibraryModule();
}

void AddinApp::RestoreResources() { currentResourceModule = savedResourceModule; }
