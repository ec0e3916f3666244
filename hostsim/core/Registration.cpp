#include "core/Registration.h"

#include <atomic>

#include "ComRef.h"
#include "core/SingleInterfaceObject.h"

namespace hostsim {

// {E96C3073-F474-4FE9-A046-04B4FE94A42C}
const CLSID kApplicationClsid = {0xe96c3073, 0xf474, 0x4fe9, {0xa0, 0x46, 0x04, 0xb4, 0xfe, 0x94, 0xa4, 0x2c}};
// {738D1301-78EF-432E-B3D0-61B0BDF7F5E6}
const CLSID kPartDocumentClsid = {0x738d1301, 0x78ef, 0x432e, {0xb3, 0xd0, 0x61, 0xb0, 0xbd, 0xf7, 0xf5, 0xe6}};

namespace {

// Hands out the application object itself to whoever creates the class.
// COM may keep the factory after the class is revoked, so it holds the
// application; that reference is the simulator's own.
class ApplicationFactory final : public SingleInterfaceObject<IClassFactory> {
 public:
  ApplicationFactory(std::shared_ptr<Session> session, IDispatch* application)
      : SingleInterfaceObject(IID_IClassFactory), session_(std::move(session)),
        application_(ComRef<IDispatch>::Borrow(application)) {
    ++session_->internalReferences;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return application_->QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  ~ApplicationFactory() { --session_->internalReferences; }  // application_ lets go of it next
  std::shared_ptr<Session> session_;
  ComRef<IDispatch> application_;
};

std::wstring guidText(const GUID& guid) {
  wchar_t buffer[64];
  StringFromGUID2(guid, buffer, 64);
  return buffer;
}

}  // namespace

Registrations::Registrations(std::shared_ptr<Session> session, IDispatch* application)
    : session_(std::move(session)), application_(application) {}

Registrations::~Registrations() { revoke(); }

// Wine 8 does not look up ProgIDs in the user's classes (HKCU\Software\Classes),
// so the ProgID goes to HKCR itself; where that is not allowed (Windows
// without elevation) it goes to the user's classes, which Windows merges.
bool Registrations::registerProgId(const wchar_t* progId, const CLSID& clsid) {
  const std::wstring value = guidText(clsid);
  const struct {
    HKEY root;
    std::wstring prefix;
  } places[] = {{HKEY_CLASSES_ROOT, L""}, {HKEY_CURRENT_USER, L"Software\\Classes\\"}};
  for (const auto& place : places) {
    const std::wstring key = place.prefix + progId;
    HKEY handle = nullptr;
    if (RegCreateKeyExW(place.root, (key + L"\\CLSID").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
      continue;
    LONG status = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    // Ours while we hold the registration lock, also when a simulator that
    // died left it behind.
    createdKeys_.push_back({place.root, key});
    if (status == ERROR_SUCCESS) return true;
  }
  return false;
}

bool Registrations::acquireLock() {
  if (lock_) return true;
  // Simulators in other processes of the same Wine prefix (tests run in
  // parallel) share the running-object table and HKCR: one at a time may
  // register, or a client could reach another process's host.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\hostsim-host-registration");
  if (!mutex) return false;
  DWORD wait = WaitForSingleObject(mutex, kLockTimeoutMs);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return false;
  }
  lock_ = mutex;
  return true;
}

void Registrations::releaseLock() {
  if (!lock_) return;
  ReleaseMutex(lock_);
  CloseHandle(lock_);
  lock_ = nullptr;
}

bool Registrations::registerRunning() {
  if (runningCookie_) return true;
  if (!acquireLock()) return false;
  if (!registerProgId(L"SldWorks.Application", kApplicationClsid)) return false;
  // The table's references are the simulator's own, not a client's.
  const long before = session_->references;
  if (FAILED(RegisterActiveObject(application_, kApplicationClsid, ACTIVEOBJECT_STRONG, &runningCookie_))) {
    runningCookie_ = 0;
    return false;
  }
  runningReferences_ = session_->references - before;
  session_->internalReferences += runningReferences_;
  return true;
}

bool Registrations::registerPartDocumentClass() {
  if (classCookie_) return true;
  if (!acquireLock()) return false;
  if (!registerProgId(L"SldPart.Document", kPartDocumentClsid)) return false;
  const ComRef<IClassFactory> factory(new ApplicationFactory(session_, application_));
  HRESULT hr = CoRegisterClassObject(kPartDocumentClsid, factory.Get(), CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &classCookie_);
  if (FAILED(hr)) classCookie_ = 0;
  return SUCCEEDED(hr);
}

void Registrations::revoke() {
  if (runningCookie_) {
    const long before = session_->references;
    RevokeActiveObject(runningCookie_, nullptr);
    runningCookie_ = 0;
    const long released = before - session_->references;
    session_->internalReferences -= runningReferences_;
    // Should the table have let go of fewer references than it took, the
    // rest stay counted as the simulator's own.
    if (released < runningReferences_) session_->internalReferences += runningReferences_ - released;
    runningReferences_ = 0;
  }
  if (classCookie_) {
    CoRevokeClassObject(classCookie_);
    classCookie_ = 0;
  }
  for (const auto& key : createdKeys_) RegDeleteTreeW(key.first, key.second.c_str());
  createdKeys_.clear();
  releaseLock();
}

}  // namespace hostsim
