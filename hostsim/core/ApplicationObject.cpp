// The host application object: documents, menus, and the source of the
// application events (connection point and class information).
#include <ocidl.h>
#include <olectl.h>

#include "core/AutomationObject.h"
#include "core/Objects.h"
#include "core/SingleInterfaceObject.h"

namespace hostsim {

// {60F67B04-934E-496F-86F8-DB90F19F9366}
const IID kApplicationEventsIid = {0x60f67b04, 0x934e, 0x496f, {0x86, 0xf8, 0xdb, 0x90, 0xf1, 0x9f, 0x93, 0x66}};

namespace {

enum : DISPID {
  kActiveDocument = 1,
  kOpenDocument = 2,
  kActivateDocument = 3,
  kGetMenuFrame = 5,
  kCloseDocument = 7,
  kCloseDocumentByPath = 33,
  kOpenDocumentEx = 73,
};

const std::vector<Operation> kOperations = {
    {kActiveDocument, DISPATCH_PROPERTYGET, L"ActiveDocument", {}, ResultType::Object},
    {kOpenDocument, DISPATCH_METHOD, L"OpenDocument", {ArgType::Bstr, ArgType::I4}, ResultType::Object},
    {kActivateDocument, DISPATCH_METHOD, L"ActivateDocument", {ArgType::Bstr}, ResultType::Object},
    {kGetMenuFrame, DISPATCH_METHOD, L"GetMenuFrame", {}, ResultType::Object},
    {kCloseDocument, DISPATCH_METHOD, L"CloseDocument", {ArgType::Bstr}, ResultType::None},
    {kCloseDocumentByPath, DISPATCH_METHOD, L"CloseDocumentByPath", {ArgType::Bstr}, ResultType::None},
    {kOpenDocumentEx, DISPATCH_METHOD, L"OpenDocumentEx", {ArgType::Bstr, ArgType::I4, ArgType::I4Out},
     ResultType::Object},
};

// Connection point for the application events. It keeps the application
// alive while a client holds it; that reference is the simulator's own.
class ConnectionPoint final : public SingleInterfaceObject<IConnectionPoint> {
 public:
  ConnectionPoint(std::shared_ptr<Session> session, IConnectionPointContainer* container)
      : SingleInterfaceObject(IID_IConnectionPoint), session_(std::move(session)),
        container_(ComRef<IConnectionPointContainer>::Borrow(container)) {
    ++session_->internalReferences;
  }

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    if (!iid) return E_POINTER;
    *iid = kApplicationEventsIid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
    if (!container) return E_POINTER;
    *container = container_.Copy().Detach();  // the caller's reference
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    try {
      if (!sink || !cookie) return E_POINTER;
      *cookie = 0;
      // A sink answers its event interface; a plain IDispatch will do too.
      ComRef<IDispatch> dispatch;
      if (FAILED(sink->QueryInterface(kApplicationEventsIid, dispatch.PutVoid())) &&
          FAILED(sink->QueryInterface(IID_IDispatch, dispatch.PutVoid())))
        return CONNECT_E_CANNOTCONNECT;
      *cookie = session_->advise(std::move(dispatch));
      return *cookie ? S_OK : CONNECT_E_CANNOTCONNECT;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    try {
      return session_->unadvise(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
  }

 private:
  ~ConnectionPoint() { --session_->internalReferences; }  // container_ lets go of the application next
  std::shared_ptr<Session> session_;
  ComRef<IConnectionPointContainer> container_;
};

class ApplicationObject final : public AutomationObject, public IConnectionPointContainer, public IProvideClassInfo2 {
 public:
  explicit ApplicationObject(std::shared_ptr<Session> session)
      : AutomationObject(std::move(session), L"Application", kOperations) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return AutomationObject::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return AutomationObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return AutomationObject::Release(); }

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override {
    if (points) *points = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    try {
      if (!point) return E_POINTER;
      *point = nullptr;
      if (iid != kApplicationEventsIid) return CONNECT_E_NOCONNECTION;
      *point = new ConnectionPoint(session_, this);
      return S_OK;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = kApplicationEventsIid;
    return S_OK;
  }

 protected:
  void* queryExtra(REFIID iid) override {
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) return static_cast<IProvideClassInfo2*>(this);
    return nullptr;
  }

  void perform(const Operation& op, Call& call) override {
    Session& s = *session_;
    switch (op.id) {
      case kActiveDocument:
        call.returnObject(s.active() ? newDocumentObject(session_, s.active()) : nullptr);
        break;
      case kOpenDocument:
      case kOpenDocumentEx: {
        // A client names the kind: 1 or 2 (kind 0, "any", is the in-process API's).
        const long kind = call.integer(1);
        long error = kOpenBadKind;
        auto document = kind == kPartKind || kind == kAssemblyKind ? s.open(call.text(0), kind, error) : nullptr;
        if (op.id == kOpenDocumentEx) call.setOut(2, error);
        call.returnObject(document ? newDocumentObject(session_, document) : nullptr);
        break;
      }
      case kActivateDocument: {
        auto document = s.findByName(call.text(0));
        if (document) s.activate(document);
        call.returnObject(document ? newDocumentObject(session_, document) : nullptr);
        break;
      }
      case kGetMenuFrame: call.returnObject(newMenuFrameObject(session_)); break;
      case kCloseDocument:
        if (auto document = s.findByName(call.text(0))) s.close(document);
        break;
      case kCloseDocumentByPath:
        if (auto document = s.findByPath(call.text(0))) s.close(document);
        break;
    }
  }
};

}  // namespace

ComRef<IDispatch> newApplicationObject(std::shared_ptr<Session> session) {
  return ComRef<IDispatch>(static_cast<AutomationObject*>(new ApplicationObject(std::move(session))));
}

}  // namespace hostsim
