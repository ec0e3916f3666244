#pragma once
// Reading the host's answers as the types the add-in expects. Every answer
// the add-in reads goes through one of these, with the operation that gave
// it (named when the answer is refused):
// - an empty answer is the empty value (false, 0, empty text, no object, no
//   elements);
// - an answer of another type is converted when Automation knows how (a
//   VT_I2 where a VT_I4 is expected) and refused otherwise: HostCallError
//   DISP_E_TYPEMISMATCH, with a French description of what was wrong.
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <string>
#include <vector>

#include "host/ComRef.h"
#include "host/HostOperations.h"
#include "host/Variant.h"

namespace zelm {

bool AsBool(const Operation& operation, Variant answer);
long AsLong(const Operation& operation, Variant answer);
std::wstring AsText(const Operation& operation, Variant answer);
// An object reference, owned; an object without IDispatch is refused.
ComRef<IDispatch> AsObject(const Operation& operation, Variant answer);
// A one-dimensional array of objects (or of VARIANTs holding objects), in
// its order; the slots without an object are left out.
std::vector<ComRef<IDispatch>> AsObjectList(const Operation& operation, Variant answer);
// A one-dimensional array of six numbers (doubles, or VARIANTs holding
// numbers) from index 0. Anything else, an empty answer too, is refused:
// reading past a short array would read memory that is not there.
std::array<double, 6> AsSixNumbers(const Operation& operation, Variant answer);

}  // namespace zelm
