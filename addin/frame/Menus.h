#pragma once
// The add-in's host menus, one set per document kind: the part commands for
// parts, the assembly commands for assemblies, nothing for drawings. Each
// set is installed once per process, the first time a document of its kind
// is found active; the host keeps the entries from then on.
#include "host/HostObjects.h"

// Process-wide; false at load, set once the matching set is installed.
extern bool partMenusInstalled;
extern bool assemblyMenusInstalled;

// One menu pass on the host of theAddinApp. Host call failures propagate.
void InstallMenus();
void InstallPartMenus(const MenuFrame& frame);
void InstallAssemblyMenus(const MenuFrame& frame);
