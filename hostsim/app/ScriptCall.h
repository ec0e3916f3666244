// The script command "call": one automation call on the application or the
// active document, made through IDispatch like any client's and recorded in
// the call log. Its transcript line is the call log's line for it.
//
//   call Application.OPERATION ARG...
//   call Document.OPERATION ARG...
//   call Document.PROPERTY = VALUE
//
// Arguments: "text" is a BSTR, TRUE/FALSE a BOOL, a number with a point or
// an exponent an R8 (write 0.0, not 0), any other number an I4, [x,y,z] a
// point (three R8 in an array passed by reference), &N an I4 out argument.
#pragma once

#include <string>

#include "Simulator.h"

namespace hostsim {

// Returns the transcript line, or an error text starting with "error: ".
std::wstring runScriptCall(Simulator& simulator, const std::wstring& text);

}  // namespace hostsim
