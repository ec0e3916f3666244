// The script command "call": one automation call on the application, the
// active document, its active configuration or a component of its tree, made
// through IDispatch like any client's and recorded in the call log. Its
// transcript line is the call log's line for it.
//
//   call Application.OPERATION ARG...
//   call Document.OPERATION ARG...
//   call Document.PROPERTY = VALUE
//   call Configuration.OPERATION
//   call Component.OPERATION              (the root component)
//   call Component/I/J.OPERATION          (child J, from 0, of the root's child I)
//
// Arguments: "text" is a BSTR, TRUE/FALSE a BOOL, a number with a point or
// an exponent an R8 (write 0.0, not 0), any other number an I4, [x,y,z] a
// point (three R8 in an array passed by reference), &N an I4 out argument.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "core/Simulator.h"

namespace hostsim {

// Returns the transcript line, or an error text starting with "error: ".
std::wstring runScriptCall(Simulator& simulator, const std::wstring& text);
// One value written as a call argument ("text", TRUE, 7, 0.5), for odd answers.
bool parseScriptValue(const std::wstring& text, VARIANT& value, std::wstring& error);

}  // namespace hostsim
