// A minimal add-in for the simulator's own tests: it finds the running host,
// adds one menu entry for the active document's kind and counts how often
// its command is called.
#include <windows.h>
#include <commdlg.h>
#include <oaidl.h>

namespace {

long calls = 0;

HRESULT invoke(IDispatch* object, DISPID id, VARIANT* args, UINT count, VARIANT* result) {
  DISPPARAMS params{args, nullptr, count, 0};
  return object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

VARIANT bstr(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);
  return v;
}

VARIANT i4(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

}  // namespace

extern "C" __declspec(dllexport) long InitUserDLL3() {
  CLSID clsid;
  IUnknown* running = nullptr;
  IDispatch* host = nullptr;
  if (FAILED(CLSIDFromProgID(L"SldWorks.Application", &clsid)) || FAILED(GetActiveObject(clsid, nullptr, &running)))
    return -7;
  running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&host));
  running->Release();
  VARIANT frame;
  VariantInit(&frame);
  invoke(host, 5, nullptr, 0, &frame);  // GetMenuFrame
  if (frame.vt == VT_DISPATCH && frame.pdispVal) {
    VARIANT top[2] = {i4(0), bstr(L"Essai@&Outils")};  // last argument first
    VARIANT result;
    VariantInit(&result);
    invoke(frame.pdispVal, 2, top, 2, &result);  // AddTopMenu
    VARIANT entry[4] = {bstr(L"hostsim_test_addin@Count"), i4(-1), bstr(L"Compter"), bstr(L"Essai@&Outils")};
    invoke(frame.pdispVal, 1, entry, 4, &result);  // AddMenuEntry
    for (VARIANT& v : top) VariantClear(&v);
    for (VARIANT& v : entry) VariantClear(&v);
  }
  VariantClear(&frame);
  host->Release();
  return 4242;
}

extern "C" __declspec(dllexport) void Count() { ++calls; }
extern "C" __declspec(dllexport) long CountValue() { return calls; }

// Dialogs for the script-mode tests: a message box, and a save dialog whose
// answer is shown in a second message box.
extern "C" __declspec(dllexport) void ShowMessage() {
  MessageBoxW(nullptr, L"Fichier compacté avec succès dans le dossier\nC:\\nouveau\\", L"Essai", MB_OK);
}

extern "C" __declspec(dllexport) void AskSave() {
  wchar_t path[MAX_PATH] = L"p.SLDPRT";
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.lpstrFilter = L"Fichiers Pièce (*.SLDPRT)\0*.SLDPRT\0";
  request.lpstrFile = path;
  request.nMaxFile = MAX_PATH;
  request.lpstrDefExt = L"SLDPRT";
  request.Flags = OFN_HIDEREADONLY;
  MessageBoxW(nullptr, GetSaveFileNameW(&request) ? path : L"annulé", L"Essai", MB_OK);
}
