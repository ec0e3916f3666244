#pragma once
// What both assembly commands start from: the active assembly checked, a
// destination asked for (compaction only), and the file of the assembly and
// of every component at every depth of its tree listed, each file once, in
// the order the walk first meets it.
#include <windows.h>

#include <optional>
#include <string>

#include "assembly/PathList.h"
#include "host/HostObjects.h"

// "Compacter" asks for a destination, "Décompacter" does not.
enum class Destination { Ask, None };

// The files one assembly command works through: entry 0 the assembly
// itself, then its tree; and the destination chosen (empty when none was
// asked for).
struct AssemblyFiles {
  PathList files;
  std::wstring destinationPath;
};

// Checks the active document (an assembly), asks for the destination when
// wanted and checks that no copy would land on a source, lists the tree and
// closes the assembly. Nothing on failure, whose message has been shown.
std::optional<AssemblyFiles> CollectAssemblyFiles(Destination destination);

// Appends to `files` the files of the component's children, and of their
// children at every depth: depth first, parent before children, siblings in
// the host's order. A sub-assembly met twice is walked twice (its files are
// listed once); one that repeats the file of an ancestor (rootPath being the
// root's) is not walked again, so a tree that holds itself cannot make the
// walk endless.
void WalkComponents(const Component& root, const std::wstring& rootPath, PathList& files);

// Not yet listed (exact comparison, case included).
BOOL IsNewPath(const std::wstring& path, const PathList& files);

// By the text from the last point on, without regard to case: ".SLDPRT" or
// ".PRT" is a part, ".SLDASM" or ".ASM" an assembly. A path without any
// point is neither.
BOOL IsPartFile(const std::wstring& path);
BOOL IsAssemblyFile(const std::wstring& path);
