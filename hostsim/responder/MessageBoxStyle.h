// What the responder and its hook DLL share about a message box's style.
#pragma once

#include <windows.h>

namespace hostsim {

constexpr wchar_t kMessageBoxStyleProperty[] = L"DialogResponder.MessageBoxStyle";
// Set in the property's value (no MB_ flag uses it), so that a style of 0
// (MB_OK alone) is told apart from no property.
constexpr ULONG_PTR kStyleKnown = 0x80000000u;
constexpr wchar_t kStyleHookLibrary[] = L"dialog_responder_hook.dll";
constexpr char kStyleHookProcedure[] = "recordMessageBoxStyle";

}  // namespace hostsim
