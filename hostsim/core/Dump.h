// The text a test or a script reads to see what a document holds.
#pragma once

#include <string>

#include "core/Session.h"

namespace hostsim {

// For the open document of that path, or else for the file at that path:
//   document: PATH
//   kind: part | assembly
//   feature: NAME (KIND)           one a feature, in tree order
//   body: N triangles
//   box: x0, y0, z0, x1, y1, z1
//   component: PATH                resolved, indented two spaces a level
//   size: N bytes                  the file on disk (-1 when there is none)
// or "document: PATH\nerror: CODE" when neither exists or the file is unreadable.
std::wstring dumpDocument(Session& session, const std::wstring& path);

}  // namespace hostsim
