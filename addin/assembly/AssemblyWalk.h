#pragma once
// The files of an assembly: its own file and the file of every component at
// every depth of its tree, each file once, in the order the walk first meets
// it; and what a file is, by its extension.
#include <string>

#include "assembly/PathList.h"
#include "host/HostObjects.h"

namespace zelm {

enum class ListingOutcome {
  Listed,
  NoConfiguration,  // the host gave the assembly no active configuration
  NoRootComponent,  // nor a root component: nothing was listed
};

struct AssemblyListing {
  ListingOutcome outcome;
  // Entry 0 the assembly itself, then its tree; empty unless listed.
  PathList files;
};

// The assembly's files, from its active configuration's root component.
AssemblyListing ListAssembly(const ModelDocument& assembly, const std::wstring& assemblyPath);

// Appends to `files` the files of the component's children, and of their
// children at every depth: depth first, parent before children, siblings in
// the host's order. A sub-assembly met twice is walked twice (its files are
// listed once); one that repeats the file of an ancestor (rootPath being the
// root's) is not walked again, so a tree that holds itself cannot make the
// walk endless.
void WalkComponents(const Component& root, const std::wstring& rootPath, PathList& files);

// Not yet listed (exact comparison, case included).
bool IsNewPath(const std::wstring& path, const PathList& files);

// By the text from the last point on, without regard to case: ".SLDPRT" or
// ".PRT" is a part, ".SLDASM" or ".ASM" an assembly. A path without any
// point is neither.
bool IsPartFile(const std::wstring& path);
bool IsAssemblyFile(const std::wstring& path);

}  // namespace zelm
