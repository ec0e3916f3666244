// Makes the application object reachable the way clients look for the host:
// as the running object of "SldWorks.Application", and as the object a
// client creates from the class "SldPart.Document". Everything registered is
// revoked by revoke() or on destruction. Registering waits (up to a minute)
// while a simulator of another process holds registrations.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Session.h"

namespace hostsim {

extern const CLSID kApplicationClsid;   // behind "SldWorks.Application"
extern const CLSID kPartDocumentClsid;  // behind "SldPart.Document"

class Registrations {
 public:
  Registrations(std::shared_ptr<Session> session, IDispatch* application);
  ~Registrations();
  Registrations(const Registrations&) = delete;
  Registrations& operator=(const Registrations&) = delete;

  bool registerRunning();
  bool registerPartDocumentClass();
  void revoke();

 private:
  bool registerProgId(const wchar_t* progId, const CLSID& clsid);
  bool acquireLock();
  void releaseLock();

  static constexpr DWORD kLockTimeoutMs = 60000;

  std::shared_ptr<Session> session_;
  IDispatch* application_;  // borrowed: the simulator that owns this object holds it
  DWORD runningCookie_ = 0;
  long runningReferences_ = 0;  // references the running-object table took
  DWORD classCookie_ = 0;
  std::vector<std::pair<HKEY, std::wstring>> createdKeys_;
  HANDLE lock_ = nullptr;  // machine-wide: held from the first registration to revoke()
};

}  // namespace hostsim
