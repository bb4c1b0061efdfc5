#!/usr/bin/env python3
"""Two builds of the shipped Setup.exe from clean clones of the same commit, made in
folders of different lengths, must be byte-identical.

Usage: check_reproducible.py [COMMIT]   (default: HEAD of this repository)
Clones the commit twice into temporary folders, builds the win32 preset's Setup
target in each, compares the files and, when they differ, says which parts of the
PE image differ (time stamps, checksum, sections).  Prints one line per check and
a closing count; exits 1 when any check fails.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_exe import Pe  # noqa: E402


def run(command, cwd):
    result = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            universal_newlines=True)
    if result.returncode != 0:
        raise RuntimeError("%s failed in %s:\n%s" % (" ".join(command), cwd, result.stdout[-3000:]))
    return result.stdout


def build_clone(commit, folder):
    """Clones commit into folder and builds Setup.exe there; returns its bytes."""
    run(["git", "clone", "-q", "--no-checkout", REPO, folder], REPO)
    run(["git", "checkout", "-q", "--detach", commit], folder)
    run(["cmake", "--preset", "win32"], folder)
    run(["cmake", "--build", "--preset", "win32", "--target", "Setup"], folder)
    with open(os.path.join(folder, "build", "win32", "Setup.exe"), "rb") as exe:
        return exe.read()


def pe_fields(data):
    """Header fields that linkers and resource compilers fill from the clock."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    opt = pe + 24
    image = Pe(data)
    fields = {"COFF time stamp": struct.unpack_from("<I", data, pe + 8)[0],
              "PE checksum": struct.unpack_from("<I", data, opt + 64)[0]}
    resource_rva = image.directory[2][0]
    if resource_rva:
        fields["resource directory time stamp"] = struct.unpack_from("<I", data, image.offset(resource_rva) + 4)[0]
    export_rva = image.directory[0][0]
    if export_rva:
        fields["export directory time stamp"] = struct.unpack_from("<I", data, image.offset(export_rva) + 4)[0]
    return fields


def section_of(data, offset):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count = struct.unpack_from("<H", data, pe + 6)[0]
    table = pe + 24 + struct.unpack_from("<H", data, pe + 20)[0]
    for i in range(count):
        name = data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode("ascii", "replace")
        rawsize, raw = struct.unpack_from("<II", data, table + 40 * i + 16)
        if raw <= offset < raw + rawsize:
            return name
    return "headers"


def main():
    commit = sys.argv[1] if len(sys.argv) > 1 else run(["git", "rev-parse", "HEAD"], REPO).strip()
    results = []

    def expect(name, ok, detail=""):
        results.append(ok)
        print("%s %s%s" % ("ok  " if ok else "FAIL", name, (": " + detail) if detail and not ok else ""))

    parent = tempfile.mkdtemp(prefix="repro-")
    try:
        short = os.path.join(parent, "a")
        deep = os.path.join(parent, "a-second-clone-in-a-folder-with-a-much-longer-name", "b")
        os.makedirs(os.path.dirname(deep))
        first = build_clone(commit, short)
        second = build_clone(commit, deep)
        print("commit %s: %d and %d bytes" % (commit[:12], len(first), len(second)))
        same = first == second
        detail = ""
        if not same and len(first) == len(second):
            places = sorted({section_of(first, i) for i in range(len(first)) if first[i] != second[i]})
            detail = "differ in " + ", ".join(places)
        expect("two clean builds are byte-identical", same, detail)
        fields = pe_fields(first)
        print("PE checksum %#x (computed over the file by the linker)" % fields.pop("PE checksum"))
        for name, value in sorted(fields.items()):
            expect(name + " is zero", value == 0, "%#x" % value)
        for folder in (short, deep, REPO):
            expect("no build folder in the file (%s)" % os.path.basename(folder),
                   folder.encode() not in first and folder.encode() not in second)
    finally:
        shutil.rmtree(parent, ignore_errors=True)
    print("reproducible: %d passed, %d failed" % (results.count(True), results.count(False)))
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
