#include "FrameHarness.h"

#include <stdexcept>

#include "core/SingleInterfaceObject.h"  // from hostsim_core

namespace frametest {
using hostsim::SingleInterfaceObject;

// {0C7B5F0E-93A2-4D51-8E3B-6A2F1D7C4B10}
const CLSID kTestApplicationClsid = {0x0c7b5f0e, 0x93a2, 0x4d51, {0x8e, 0x3b, 0x6a, 0x2f, 0x1d, 0x7c, 0x4b, 0x10}};
// {0C7B5F0E-93A2-4D51-8E3B-6A2F1D7C4B11}
const CLSID kTestPartDocumentClsid = {0x0c7b5f0e, 0x93a2, 0x4d51, {0x8e, 0x3b, 0x6a, 0x2f, 0x1d, 0x7c, 0x4b, 0x11}};

std::wstring TestFolder() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring AddinPathInApps() { return TestFolder() + L"\\Apps\\ZELM_Compact.dll"; }

std::wstring FreshTempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

AddinExports LoadAddin(const std::wstring& path) {
  AddinExports exports;
  exports.module = LoadLibraryW(path.c_str());
  if (!exports.module) return exports;
  // Through a plain function pointer type, which any function pointer may
  // be cast to and from.
  using AnyFunction = void (*)();
  exports.InitUserDLL3 =
      reinterpret_cast<int (*)()>(reinterpret_cast<AnyFunction>(GetProcAddress(exports.module, "InitUserDLL3")));
  exports.AboutTessora =
      reinterpret_cast<void (*)()>(reinterpret_cast<AnyFunction>(GetProcAddress(exports.module, "AboutTessora")));
  return exports;
}

// Wine 8 does not look ProgIDs up in the user's classes
// (HKCU\Software\Classes), so the keys go straight to HKEY_CLASSES_ROOT.
void RegisterProgId(const wchar_t* progId, const CLSID& clsid) {
  std::wstring key = std::wstring(progId) + L"\\CLSID";
  wchar_t text[64];
  StringFromGUID2(clsid, text, 64);
  RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, text,
                  static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

void ClearHostProgIds() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"SldWorks.Application");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"SldPart.Document");
}

RunningObject::RunningObject(IUnknown* object, const CLSID& clsid) {
  if (FAILED(RegisterActiveObject(object, clsid, ACTIVEOBJECT_STRONG, &cookie_))) cookie_ = 0;
}

RunningObject::~RunningObject() {
  if (cookie_) RevokeActiveObject(cookie_, nullptr);
}

namespace {

class FunctionFactory : public SingleInterfaceObject<IClassFactory> {
 public:
  explicit FunctionFactory(CreatableClass::Create create)
      : SingleInterfaceObject(IID_IClassFactory), create_(std::move(create)) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  CreatableClass::Create create_;
};

}  // namespace

// In-process only: no other process can create the class from us.
CreatableClass::CreatableClass(const CLSID& clsid, Create create) {
  auto* factory = new FunctionFactory(std::move(create));
  if (FAILED(CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_))) cookie_ = 0;
  factory->Release();
}

CreatableClass::~CreatableClass() {
  if (cookie_) CoRevokeClassObject(cookie_);
}

}  // namespace frametest
