#pragma once
// The one way tests and benchmarks remove a tree of files.
//
// A scratch folder is a folder the run made for itself: by default the
// process's temporary folder (under Wine, in the test program's own prefix),
// or a drive the run mapped onto a fresh folder of its own (the installer
// tests' drives). Only what lies strictly below one is ever removed, and a
// link is never followed.
#include <string>

namespace testsupport {

// The temporary folder (GetTempPathW), ending with a backslash, when it is an
// absolute folder below a drive's root; empty otherwise.
std::wstring TemporaryFolder();

// Removes `root`, a folder with everything below it or a file. Refuses, and
// removes nothing, when `root` is empty, relative, not in plain form (".",
// "..", "/", a doubled backslash), not strictly below `scratch`, or reached
// through a link. Below it, a link is never entered: Windows removes it as a
// link; under Wine, which cannot, it stays with what is behind it. True when
// `root` is gone.
bool RemoveTree(const std::wstring& root, const std::wstring& scratch = TemporaryFolder());

}  // namespace testsupport
