#!/usr/bin/env python3
"""Zips a driver package folder reproducibly, with the given Setup.exe in it.

    package-zip.py DIR SETUP_EXE OUT.zip

The zip holds DIR's files at its root (paths relative to DIR, "/" between
folders) and SETUP_EXE as Setup.exe, in place of any setup.exe at DIR's top
(names compared without case, as Windows does).  Entries are sorted by name and
all carry the same time stamp (1980-01-01 00:00) and mode (0644), deflated at
level 9: the same inputs give the same bytes.  DIR is only read; anything in it
but plain files and folders (a symbolic link, a pipe) is refused.  OUT.zip must not exist yet.
"""

import os
import sys
import zipfile

FIXED_TIME = (1980, 1, 1, 0, 0, 0)


def package_files(folder):
    """(name in the zip, path) of every file under folder."""
    found = []
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(root, name)
            if os.path.islink(path) or not (os.path.isdir(path) or os.path.isfile(path)):
                sys.exit("package-zip: %s is not a plain file or folder" % path)
        for name in files:
            path = os.path.join(root, name)
            found.append((os.path.relpath(path, folder).replace(os.sep, "/"), path))
    return found


def add(archive, name, path):
    info = zipfile.ZipInfo(name, FIXED_TIME)
    info.create_system = 3  # Unix, so that the mode below is read as one
    info.external_attr = 0o644 << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    with open(path, "rb") as handle:
        archive.writestr(info, handle.read(), compresslevel=9)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    folder, setup_exe, out = sys.argv[1:]
    entries = [(name, path) for name, path in package_files(folder) if name.lower() != "setup.exe"]
    entries.append(("Setup.exe", setup_exe))
    with zipfile.ZipFile(out, "x") as archive:
        for name, path in sorted(entries):
            add(archive, name, path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
