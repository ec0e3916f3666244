// A minimal add-in for the simulator's own tests: it finds the running host
// and adds one menu entry, "Compter", for the active document's kind; its
// exports show a message box, or a save dialog whose answer a message box
// shows.
#include <windows.h>
#include <commdlg.h>
#include <oaidl.h>

namespace {

VARIANT invoke(IDispatch* object, DISPID id, VARIANT* argsLastFirst, UINT count) {
  DISPPARAMS params{argsLastFirst, nullptr, count, 0};
  VARIANT result;
  VariantInit(&result);
  object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
  for (UINT i = 0; i < count; ++i) VariantClear(&argsLastFirst[i]);
  return result;
}

VARIANT value(const wchar_t* text, long number = 0) {
  VARIANT v;
  VariantInit(&v);
  v.vt = text ? VT_BSTR : VT_I4;
  if (text) v.bstrVal = SysAllocString(text);
  else v.lVal = number;
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
  VARIANT frame = invoke(host, 5, nullptr, 0);  // GetMenuFrame
  if (frame.vt == VT_DISPATCH && frame.pdispVal) {
    VARIANT top[2] = {value(nullptr, 0), value(L"Essai@&Outils")};
    invoke(frame.pdispVal, 2, top, 2);  // AddTopMenu (a BOOL answer)
    VARIANT entry[4] = {value(L"hostsim_test_addin@ShowMessage"), value(nullptr, -1), value(L"Compter"),
                        value(L"Essai@&Outils")};
    invoke(frame.pdispVal, 1, entry, 4);  // AddMenuEntry
  }
  VariantClear(&frame);
  host->Release();
  return 4242;
}

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
