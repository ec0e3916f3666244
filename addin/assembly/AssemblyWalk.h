#pragma once
// What both assembly commands start from: the active assembly checked, a
// destination asked for (compaction only), and the file of the assembly and
// of every component at every depth of its tree listed in documentPaths,
// each file once, in the order the walk first meets it.
#include <windows.h>

#include <optional>
#include <string>

#include "host/HostObjects.h"

// "Compacter" asks for a destination, "Décompacter" does not.
enum class Destination { Ask, None };

// Checks the active document (an assembly), asks for the destination when
// wanted, lists the tree into theAddinApp->documentPaths (entry 0 the
// assembly itself) and closes the assembly. The destination path chosen
// (empty when none was asked for), or nothing on failure, whose message has
// been shown; the caller empties the list in every case.
std::optional<std::wstring> CollectAssemblyFiles(Destination destination);

// Appends to documentPaths the files of the component's children, and of
// their children at every depth: depth first, parent before children,
// siblings in the host's order. A sub-assembly met twice is walked twice
// (its files are listed once); one that repeats the file of an ancestor
// (rootPath being the root's) is not walked again, so a tree that holds
// itself cannot make the walk endless.
void WalkComponents(const Component& root, const std::wstring& rootPath);

// Not yet listed in documentPaths (exact comparison, case included).
BOOL IsNewPath(const std::wstring& path);

// By the text from the last point on, without regard to case: ".SLDPRT" or
// ".PRT" is a part, ".SLDASM" or ".ASM" an assembly. A path without any
// point is neither.
BOOL IsPartFile(const std::wstring& path);
BOOL IsAssemblyFile(const std::wstring& path);
