#pragma once
// Tells whether a path below a folder reaches through a link, so that
// nothing is ever written or deleted through one out of that folder.

namespace installer {

// True when an entry on the way from the folder `root` down to `path` (a
// path below it, read as the platform reads it), `path` itself included, is
// a symbolic link or a junction, lies anywhere but where its name puts it, or
// cannot be told. The way ends at the first entry that does not exist.
bool ReachesThroughLink(const char* root, const char* path);

}  // namespace installer
