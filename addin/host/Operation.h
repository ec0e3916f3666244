#pragma once
// One entry of the host's automation interface: its name (for error
// messages), its dispatch identifier and how it is invoked.
#include <windows.h>
#include <oleauto.h>

enum class InvokeKind : WORD {
  Method = DISPATCH_METHOD,
  PropertyGet = DISPATCH_PROPERTYGET,
  // The value travels as the one named argument DISPID_PROPERTYPUT.
  PropertyPut = DISPATCH_PROPERTYPUT,
};

struct Operation {
  const wchar_t* name;
  DISPID id;
  InvokeKind kind;
};
