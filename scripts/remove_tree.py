#!/usr/bin/env python3
"""The one way the tests' fixtures, the road and the scripts remove a tree.

    remove_tree.py SCRATCH ROOT...

Removes each ROOT (a folder with everything below it, a file, or a link) when
it lies strictly below SCRATCH, a folder the run made for itself: the build
tree or a folder in it, or a folder below the system's temporary folder. It
refuses, and removes nothing, a ROOT or SCRATCH that is empty, relative or not
in plain form ("." or ".."), a ROOT that is not below SCRATCH or is reached
through a link, and a SCRATCH that is none of those folders. A link is
removed as a link: nothing behind it is touched.

The Windows programs remove their trees with testsupport::RemoveTree, by the
same rules.
"""
import os
import shutil
import sys
import tempfile


class Refused(Exception):
    pass


def plain(path):
    """An absolute path with no ".", ".." or doubled slash (a trailing one goes)."""
    path = str(path)
    if not path.startswith("/") or path.startswith("//") or os.path.normpath(path) != path.rstrip("/"):
        raise Refused(f"not an absolute plain path: {path!r}")
    return os.path.normpath(path)


def below(path, folder):
    return path.startswith(folder.rstrip("/") + "/")


def is_build_tree(folder):
    """The build tree holds CMake's cache and is no source tree."""
    return (os.path.isfile(os.path.join(folder, "CMakeCache.txt"))
            and not os.path.exists(os.path.join(folder, "CMakeLists.txt")))


def check_scratch(scratch):
    """SCRATCH, resolved, when it is a folder the run made for itself."""
    real = os.path.realpath(scratch)
    if not os.path.isdir(real):
        raise Refused(f"the scratch folder {scratch} is no folder")
    temporary = os.path.realpath(tempfile.gettempdir())
    folder = real
    while folder != "/" and not is_build_tree(folder):
        folder = os.path.dirname(folder)
    if folder == "/" and not below(real, temporary):
        raise Refused(f"{scratch} is neither in a build tree nor below {temporary}")
    return real


def remove_tree(root, scratch):
    root, scratch = plain(root), plain(scratch)
    real_scratch = check_scratch(scratch)
    if not below(root, scratch):
        raise Refused(f"{root} is not below {scratch}")
    # No link between the scratch folder and the root leads elsewhere.
    parent = os.path.realpath(os.path.dirname(root))
    if parent != real_scratch and not below(parent, real_scratch):
        raise Refused(f"{root} is reached through a link")
    if os.path.islink(root) or os.path.isfile(root):
        os.unlink(root)
    elif os.path.isdir(root):
        # Python's own walk, which removes a link as a link and never follows
        # one (it works from folder descriptors, so a folder swapped for a
        # link while it runs is not followed either).
        if not shutil.rmtree.avoids_symlink_attacks:
            raise Refused("this system's rmtree may follow links")
        shutil.rmtree(root)


def main(arguments):
    if len(arguments) < 2:
        print(__doc__.strip().split("\n\n")[1].strip(), file=sys.stderr)
        return 2
    try:
        for root in arguments[1:]:
            remove_tree(root, arguments[0])
    except (Refused, OSError) as error:
        print(f"remove_tree: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
