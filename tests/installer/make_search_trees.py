#!/usr/bin/env python3
"""Prepares the trees the search-limit tests walk (drive K:).

    make_search_trees.py DRIVE_K BEHIND_A_LINK

K:\\links  folders with symbolic links back to themselves, to their parent,
          to the drive's root, and to a folder outside the drive that holds a
          "sldworks.exe" (BEHIND_A_LINK): a search that followed a link would
          either never end or find that file.
K:\\deep   a chain of folders whose only "sldworks.exe" lies in a folder whose
          path is longer than a 260-character buffer can hold.
K:\\edge   a chain whose "sldworks.exe" lies in the deepest folder that still
          fits: its path, trailing backslash included, is 259 characters.
"""
import os
import shutil
import sys
from pathlib import Path

BUFFER = 260  # characters, terminating zero included


def windows_length(relative_parts):
    """Length of "K:\\a\\b\\" for the given parts."""
    return len('K:\\') + sum(len(p) + 1 for p in relative_parts)


def chain(root, start, target_length):
    """Makes folders start\\xxxxxxx\\... below the drive's root so that the
    last folder's Windows path with its trailing backslash is exactly
    target_length characters long; returns the last folder."""
    parts = list(start)
    while windows_length(parts) + 8 < target_length:
        parts.append('x' * 7)
    remaining = target_length - windows_length(parts)
    if remaining > 1:
        parts.append('y' * (remaining - 1))
    assert windows_length(parts) == target_length, (windows_length(parts), target_length)
    folder = Path(root, *parts)
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def main():
    root, outside = Path(sys.argv[1]), Path(sys.argv[2])
    for p in (root, outside):
        if p.exists():
            shutil.rmtree(p)
        p.mkdir(parents=True)
    (outside / 'sldworks.exe').write_bytes(b'host behind a link')

    links = root / 'links'
    (links / 'a' / 'b').mkdir(parents=True)
    os.symlink('.', links / 'self')
    os.symlink('..', links / 'a' / 'parent')
    os.symlink('../../..', links / 'a' / 'b' / 'root')
    os.symlink(outside, links / 'a' / 'outside')

    deep = chain(root, ['deep'], BUFFER + 8)
    (deep / 'sldworks.exe').write_bytes(b'too deep')
    # Right at the limit, too: a folder of 260 characters with the backslash.
    at_limit = chain(root, ['deep', 'limit'], BUFFER)
    (at_limit / 'sldworks.exe').write_bytes(b'just too deep')

    edge = chain(root, ['edge'], BUFFER - 1)
    (edge / 'sldworks.exe').write_bytes(b'deepest that fits')


if __name__ == '__main__':
    main()
