"""The brand of the launcher under test: its title, window class, mutex, log
name and version as CMake wrote them at configure time into
<build>/brand/brand.json.  The builds are those of build/, or of the folder
E2E_BUILD_TREE names (a tree configured with another brand file)."""

import json
import os

from winenv import REPO_ROOT


def tree():
    """The folder holding the win32 and win64 builds under test."""
    return os.path.abspath(os.environ.get("E2E_BUILD_TREE") or os.path.join(REPO_ROOT, "build"))


def load(build_dir):
    with open(os.path.join(build_dir, "brand", "brand.json")) as handle:
        return json.load(handle)


def of_tree():
    """The brand the tree's builds were made for (its win64 build's, else its win32 build's)."""
    for name in ("win64", "win32"):
        path = os.path.join(tree(), name)
        if os.path.isfile(os.path.join(path, "brand", "brand.json")):
            return load(path)
    raise SystemExit("no brand/brand.json under %s: build first (bash scripts/build.sh win32 win64)" % tree())


BRAND = of_tree()
