#!/usr/bin/env python3
"""Prepares the trees the search-limit case walks (drive K:), each holding
files named "target.bin" (never "sldworks.exe": the drive search of the other
cases sees K: too).

    make_search_trees.py DRIVE_K BEHIND_A_LINK

K:\\links  links back to the folder itself, its parent and the drive's root,
          and one to a folder outside the drive that holds a target: a search
          that followed links would never end, or find that one.
K:\\deep   chains whose only targets lie in folders whose path, trailing
          backslash included, is 268 and 260 characters: too long for a
          260-character buffer.
K:\\edge   a chain whose target lies in the deepest folder that fits: 259.
"""
import os
import shutil
import sys
from pathlib import Path


def chain(root, parts, length):
    """Makes root/parts/xxxxxxx/... so that the last folder's Windows path
    "K:\\...\\" is `length` characters long; puts a target in it."""
    parts = list(parts)
    size = lambda: len('K:\\') + sum(len(p) + 1 for p in parts)
    while size() + 8 < length:
        parts.append('x' * 7)
    parts.append('y' * (length - size() - 1))
    folder = Path(root, *parts)
    folder.mkdir(parents=True)
    (folder / 'target.bin').write_bytes(b'target')


root, outside = Path(sys.argv[1]), Path(sys.argv[2])
for p in (root, outside):
    shutil.rmtree(p, ignore_errors=True)
    p.mkdir(parents=True)
(outside / 'target.bin').write_bytes(b'behind a link')
(root / 'links' / 'a' / 'b').mkdir(parents=True)
os.symlink('.', root / 'links' / 'self')
os.symlink('..', root / 'links' / 'a' / 'parent')
os.symlink('../../..', root / 'links' / 'a' / 'b' / 'root')
os.symlink(outside, root / 'links' / 'a' / 'outside')
chain(root, ['deep'], 268)
chain(root, ['deep', 'limit'], 260)
chain(root, ['edge'], 259)
