#pragma once
// Finding the host the add-in works on.
#include <oaidl.h>

#include "host/ComRef.h"

namespace zelm {

// The running host application (registered as "SldWorks.Application"), or
// else a newly created part document object of the host ("SldPart.Document"),
// which answers the application's operations too; or nothing. A creation
// that fails with an error (not an absent class) is told to the user.
ComRef<IDispatch> FindHostApplication();

}  // namespace zelm
