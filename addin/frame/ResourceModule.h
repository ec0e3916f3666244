#pragma once
// The module the add-in's dialogs and images are read from.
//
// A library loaded into a host looks its resources up in an explicit module
// handle; which one is "current" starts as the host's own executable, as for
// any code running in the host's process. AddinApp::UseOwnResources makes the
// add-in's own library current for as long as its about box is up, and
// RestoreResources puts the previous module back.
#include <windows.h>

HMODULE CurrentResourceModule() noexcept;
// Makes module current and returns the module that was current before.
HMODULE SwitchResourceModule(HMODULE module) noexcept;
