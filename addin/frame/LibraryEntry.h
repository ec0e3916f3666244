#pragma once
// The library's own module handle, as the system loader handed it to the
// entry point. Valid from process attach on, whatever name the library was
// loaded under.
#include <windows.h>

HMODULE LibraryModule() noexcept;
