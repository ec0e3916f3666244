// What the frame tests share: the add-in library (the real ZELM_Compact.dll,
// copied into the "Apps" folder beside the test executable, so that the
// executable's own folder never holds a ZELM_Compact.dll), and the host
// registrations a test makes and undoes.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>
#include <string>

namespace frametest {

// The CLSIDs the tests' own stand-in hosts register under the host's ProgIDs.
extern const CLSID kTestApplicationClsid;
extern const CLSID kTestPartDocumentClsid;

std::wstring TestFolder();          // the folder of the test executable
std::wstring AddinPathInApps();     // <TestFolder>\Apps\ZELM_Compact.dll
// A fresh empty folder under the temporary folder, for this process only.
std::wstring FreshTempFolder(const std::wstring& name);

// The exports the host calls, resolved on one loaded module.
struct AddinExports {
  HMODULE module = nullptr;
  int (*InitUserDLL3)() = nullptr;
  void (*AboutTessora)() = nullptr;
};
AddinExports LoadAddin(const std::wstring& path);

// ProgID keys under the classes root; Clear removes both of the host's.
void RegisterProgId(const wchar_t* progId, const CLSID& clsid);
void ClearHostProgIds();

// Registers an object as the running object of a class while alive.
class RunningObject {
 public:
  RunningObject(IUnknown* object, const CLSID& clsid);
  ~RunningObject();
  RunningObject(const RunningObject&) = delete;
  RunningObject& operator=(const RunningObject&) = delete;
  bool registered() const { return cookie_ != 0; }

 private:
  DWORD cookie_ = 0;
};

// A class object, registered for this process only while alive, whose
// CreateInstance runs the given function.
class CreatableClass {
 public:
  using Create = std::function<HRESULT(REFIID iid, void** object)>;
  CreatableClass(const CLSID& clsid, Create create);
  ~CreatableClass();
  CreatableClass(const CreatableClass&) = delete;
  CreatableClass& operator=(const CreatableClass&) = delete;
  bool registered() const { return cookie_ != 0; }

 private:
  DWORD cookie_ = 0;
};

}  // namespace frametest
