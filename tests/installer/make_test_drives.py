#!/usr/bin/env python3
"""Makes the installer tests' drives afresh, before each run:

    make_test_drives.py ROOT

ROOT/drives/<letter> is the folder of each drive (CMakeLists.txt maps them).
Links, loops and folders too deep for a path are made from here: Wine can make
neither links nor folders past its path limit.

A: B: D: E: S: Y:  the scratch drives, each holding only "outside", a link to a
          folder off the drives: the run's canary when it has one
          (TEST_CANARY, set by .ci/run), else ROOT/drives/behind-a-link. Each
          case removes what it made, and must leave that link and what is
          behind it.
K:\\links  links back to the folder itself, its parent and the drive's root,
          and one to a folder off the drive that holds a target: a search
          that followed links would never end, or find that one.
K:\\deep   chains whose only targets lie in folders whose path, trailing
          backslash included, is 268 and 260 characters: too long for a
          260-character buffer.
K:\\edge   a chain whose target lies in the deepest folder that fits: 259.
K:\\removal  a tree for the remover's test: files, a read-only one, a chain
          deeper than a path, links to a folder and to a file off the drive.
K:\\linked\\SW\\Apps  a host's Apps folder whose entries lead off the drives,
          into ROOT/drives/off-the-drives: Aide\\Lisez-moi.txt to a file,
          Modeles to an empty folder, Compact.ini to a file that is missing.
F:        a drive without a medium: ROOT/drives/no-medium is never made.
The targets are files named "target.bin", never "sldworks.exe": the drive
search of the other cases sees K: too (the one case that installs into
K:\\linked makes its host's sldworks.exe, and removes it).
"""
import os
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from remove_tree import remove_tree  # noqa: E402


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
    return folder


root = Path(sys.argv[1])
drives = root / 'drives'
remove_tree(drives, root)
outside = drives / 'behind-a-link'
outside.mkdir(parents=True)
(outside / 'target.bin').write_bytes(b'behind a link')
for letter in 'abdesy':
    (drives / letter).mkdir()
    os.symlink(os.environ.get('TEST_CANARY') or outside, drives / letter / 'outside')

k = drives / 'k'
(k / 'links' / 'a' / 'b').mkdir(parents=True)
os.symlink('.', k / 'links' / 'self')
os.symlink('..', k / 'links' / 'a' / 'parent')
os.symlink('../../..', k / 'links' / 'a' / 'b' / 'root')
os.symlink(outside, k / 'links' / 'a' / 'outside')
chain(k, ['deep'], 268)
chain(k, ['deep', 'limit'], 260)
chain(k, ['edge'], 259)

removal = k / 'removal'
chain(k, ['removal', 'deep'], 300)
(removal / 'file.txt').write_bytes(b'file')
(removal / 'read-only.txt').write_bytes(b'read-only')
(removal / 'read-only.txt').chmod(0o444)
os.symlink(outside, removal / 'linked-folder')
os.symlink(outside / 'target.bin', removal / 'linked-file')

apps = k / 'linked' / 'SW' / 'Apps'
(apps / 'Aide').mkdir(parents=True)
off = drives / 'off-the-drives'
(off / 'Modeles').mkdir(parents=True)
(off / 'Lisez-moi.txt').write_bytes(b'off the drives')
os.symlink(off / 'Lisez-moi.txt', apps / 'Aide' / 'Lisez-moi.txt')
os.symlink(off / 'Modeles', apps / 'Modeles')
os.symlink(off / 'Compact.ini', apps / 'Compact.ini')
