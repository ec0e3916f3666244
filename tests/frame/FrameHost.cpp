#include "frame/FrameHost.h"

#include <olectl.h>

#include "responder/DialogResponder.h"

namespace frametest {
namespace {

// {0C7B5F0E-93A2-4D51-8E3B-6A2F1D7C4B10}
const CLSID kTapClsid = {0x0c7b5f0e, 0x93a2, 0x4d51, {0x8e, 0x3b, 0x6a, 0x2f, 0x1d, 0x7c, 0x4b, 0x10}};

}  // namespace

std::wstring AddinInApps(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return exe.substr(0, exe.rfind(L'\\')) + L"\\Apps\\" + name;
}

// Wine looks ProgIDs up in HKEY_CLASSES_ROOT only (not the user's classes).
bool RegisterProgId(const wchar_t* progId, const CLSID& clsid) {
  wchar_t text[40];
  StringFromGUID2(clsid, text, 40);
  const DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
  return RegSetKeyValueW(HKEY_CLASSES_ROOT, (std::wstring(progId) + L"\\CLSID").c_str(), nullptr, REG_SZ, text, bytes) ==
         ERROR_SUCCESS;
}

void ForgetHostRegistrations() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"SldWorks.Application");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"SldPart.Document");
}

bool HostTap::RegisterRunning() {
  return RegisterProgId(L"SldWorks.Application", kTapClsid) &&
         SUCCEEDED(RegisterActiveObject(static_cast<IDispatch*>(this), kTapClsid, ACTIVEOBJECT_STRONG, &cookie_));
}

bool HostTap::RegisterFailingPartDocumentClass() {
  return RegisterProgId(L"SldPart.Document", kTapClsid) &&
         SUCCEEDED(CoRegisterClassObject(kTapClsid, static_cast<IClassFactory*>(this), CLSCTX_INPROC_SERVER,
                                         REGCLS_MULTIPLEUSE, &classCookie_));
}

void HostTap::Revoke() {
  if (cookie_) RevokeActiveObject(cookie_, nullptr);
  if (classCookie_) CoRevokeClassObject(classCookie_);
  cookie_ = classCookie_ = 0;
  ForgetHostRegistrations();
}

HRESULT HostTap::QueryInterface(REFIID iid, void** object) {
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch) *object = static_cast<IDispatch*>(this);
  if (classInfo && (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2))
    *object = static_cast<IProvideClassInfo2*>(this);
  if (iid == IID_IConnectionPointContainer) *object = static_cast<IConnectionPointContainer*>(this);
  if (iid == IID_IConnectionPoint) *object = static_cast<IConnectionPoint*>(this);
  if (iid == IID_IClassFactory) *object = static_cast<IClassFactory*>(this);
  return *object ? S_OK : E_NOINTERFACE;
}

HRESULT HostTap::GetGUID(DWORD kind, GUID* guid) {
  return ComRef<IDispatch>::Borrow(application_).Query<IProvideClassInfo2>()->GetGUID(kind, guid);
}

HRESULT HostTap::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!connectionPoint) return CONNECT_E_NOCONNECTION;
  const HRESULT status =
      ComRef<IDispatch>::Borrow(application_).Query<IConnectionPointContainer>()->FindConnectionPoint(iid, point_.Put());
  if (SUCCEEDED(status)) *point = this;
  return status;
}

HRESULT HostTap::Advise(IUnknown* candidate, DWORD* cookie) {
  if (candidate) candidate->QueryInterface(IID_IDispatch, sink.PutVoid());
  return point_->Advise(candidate, cookie);
}

StartedAddin::StartedAddin() : part(folder.file(L"bride.SLDPRT")) {
  hostsim::DialogResponder answers;  // a message at start (a fault) would wait for a user
  if (hostsim::writePartFixture(part, L"flange") && sim.open(part) && tap.RegisterRunning())
    started = sim.loadAddin(AddinInApps());
}

StartedAddin& Started() {
  static StartedAddin* addin = new StartedAddin();  // never destroyed, as in the host
  return *addin;
}

void CloseAll(hostsim::Simulator& sim) {
  for (const std::wstring& path : sim.openDocumentPaths()) sim.close(path.substr(path.rfind(L'\\') + 1));
}

std::vector<std::wstring> MenuPass(long kind, bool installs) {
  std::vector<std::wstring> calls = {L"Application.GetMenuFrame() -> object",
                                     std::wstring(L"Application.ActiveDocument() -> ") + (kind ? L"object" : L"null")};
  if (kind) calls.push_back(L"Document.DocumentKind() -> " + std::to_wstring(kind));
  if (!installs) return calls;
  const std::wstring suffix = kind == 1 ? L"Part\") -> TRUE" : L"Asm\") -> TRUE";
  const std::wstring menu = L"MenuFrame.AddMenuEntry(\"Compression@&Outils\", ";
  calls.push_back(L"MenuFrame.AddTopMenu(\"Compression@&Outils\", 0) -> TRUE");
  calls.push_back(menu + L"\"Compacter\", -1, \"ZELM_Compact@Compacter" + suffix);
  calls.push_back(menu + L"\"D\u00E9compacter\", -1, \"ZELM_Compact@DeCompacter" + suffix);
  return calls;
}

}  // namespace frametest
