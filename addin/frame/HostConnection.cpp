#include "frame/HostConnection.h"

#include <objbase.h>
#include <oleauto.h>

#include "Messages.h"
#include "command/Dialogs.h"

namespace zelm {
namespace {

ComRef<IDispatch> RunningHost() {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(L"SldWorks.Application", &clsid))) return nullptr;
  ComRef<IUnknown> running;
  if (FAILED(GetActiveObject(clsid, nullptr, running.Put())) || !running) return nullptr;
  return running.Query<IDispatch>();
}

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

// Nothing when the class is absent; throws CreationError (or bad_alloc) when
// the creation failed in another way.
ComRef<IDispatch> CreatedPartDocument() {
  CLSID clsid;
  HRESULT status = CLSIDFromProgID(L"SldPart.Document", &clsid);
  if (FAILED(status)) {
    if (ClassIsAbsent(status)) return nullptr;
    throw CreationError{status};
  }
  ComRef<IUnknown> created;
  status = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                            created.PutVoid());
  if (FAILED(status) || !created) {
    if (ClassIsAbsent(status)) return nullptr;
    throw CreationError{FAILED(status) ? status : E_POINTER};
  }
  ComRef<IDispatch> dispatch = created.Query<IDispatch>();
  if (!dispatch) throw CreationError{E_NOINTERFACE};
  return dispatch;
}

}  // namespace

ComRef<IDispatch> FindHostApplication() {
  if (ComRef<IDispatch> running = RunningHost()) return running;
  try {
    return CreatedPartDocument();
  } catch (...) {
    // Only an error (not an absent class) gets here.
    try {
      ShowMessage(messages::kCannotCreateHost);
    } catch (...) {
    }
  }
  return nullptr;
}

}  // namespace zelm
