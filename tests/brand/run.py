#!/usr/bin/env python3
"""Brand files: every bad one fails at configure time, naming the file and the
key; the test brand (tests/brand/brand.cmake) builds, into build/brand/win32
and build/brand/win64, launchers that carry its title, version record and icon
and none of the default brand's names (tests/artefact/check_exe.py).  The
default build staying byte-identical is the reproducibility check's and the
artefact check's; the branded launchers under Wine are the e2e suite's, run
with E2E_BUILD_TREE=build/brand.

    python3 tests/brand/run.py [--no-build]
"""

import os
import shutil
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TEST_BRAND = os.path.join(REPO, "tests", "brand", "brand.cmake")
BRAND_TREE = os.path.join(REPO, "build", "brand")
RESULTS = []

GOOD = {
    "BRAND_TITLE": "Sample Printer Setup",
    "BRAND_WINDOW_CLASS": "Sample Printer Setup Frame",
    "BRAND_MUTEX": "Sample_Printer_Setup",
    "BRAND_LOG_NAME": "Sample_Printer_Setup",
    "BRAND_ICON": "icon.ico",
    "BRAND_COMPANY": "Sample Devices",
    "BRAND_COPYRIGHT": "Copyright (C) Sample Devices",
    "BRAND_VERSION": "3.1.0.2",
}

# (row, changes to GOOD (None: the key left out), key named in the refusal; None: accepted)
ROWS = [
    ("sound", {}, None),
    ("title missing", {"BRAND_TITLE": None}, "BRAND_TITLE"),
    ("company empty", {"BRAND_COMPANY": ""}, "BRAND_COMPANY"),
    ("copyright missing", {"BRAND_COPYRIGHT": None}, "BRAND_COPYRIGHT"),
    ("title beyond ASCII", {"BRAND_TITLE": "Caf\u00e9 Printer Setup"}, "BRAND_TITLE"),
    ("class with a double quote", {"BRAND_WINDOW_CLASS": 'Sample \\"Frame\\"'}, "BRAND_WINDOW_CLASS"),
    ("mutex with a backslash", {"BRAND_MUTEX": "Global\\\\Sample"}, "BRAND_MUTEX"),
    ("mutex with a colon", {"BRAND_MUTEX": "Sample:Guard"}, "BRAND_MUTEX"),
    ("log name with a slash", {"BRAND_LOG_NAME": "logs/Sample"}, "BRAND_LOG_NAME"),
    ("log name with a star", {"BRAND_LOG_NAME": "Sample*"}, "BRAND_LOG_NAME"),
    ("version of three numbers", {"BRAND_VERSION": "3.1.0"}, "BRAND_VERSION"),
    ("version above 65535", {"BRAND_VERSION": "3.1.65536.0"}, "BRAND_VERSION"),
    ("version with letters", {"BRAND_VERSION": "3.1.0.beta"}, "BRAND_VERSION"),
    ("icon missing", {"BRAND_ICON": "gone.ico"}, "BRAND_ICON"),
    ("version of 65535s", {"BRAND_VERSION": "65535.65535.65535.65535"}, None),
]


def check(ok, what, detail=""):
    RESULTS.append(bool(ok))
    print("%s %s%s" % ("ok  " if ok else "FAIL", what, "" if ok or not detail else "\n" + detail.strip()[-2000:]))
    return ok


def write_brand(folder, values):
    path = os.path.join(folder, "brand.cmake")
    with open(path, "w", encoding="utf-8") as handle:
        for key, value in values.items():
            if value is not None:
                handle.write('set(%s "%s")\n' % (key, value))
    shutil.copyfile(os.path.join(REPO, "res", "printer.ico"), os.path.join(folder, "icon.ico"))
    return path


def check_brand_files(scratch):
    for row, changes, key in ROWS:
        folder = os.path.join(scratch, row.replace(" ", "-"))
        os.makedirs(folder)
        brand = write_brand(folder, dict(GOOD, **changes))
        done = subprocess.run(["cmake", "-DLAUNCHER_BRAND=" + brand, "-DBRAND_OUTPUT_DIR=" + folder + "/out", "-P",
                               os.path.join(REPO, "cmake", "brand.cmake")], capture_output=True, text=True)
        if key is None:
            check(done.returncode == 0 and os.path.isfile(folder + "/out/brand.h"), "%s: accepted" % row, done.stderr)
        else:
            check(done.returncode != 0 and brand in done.stderr and key in done.stderr,
                  "%s: refused, naming the file and %s" % (row, key), done.stderr)
    # The same refusal where it counts: configuring a preset.
    folder = os.path.join(scratch, "preset")
    os.makedirs(folder)
    brand = write_brand(folder, dict(GOOD, BRAND_MUTEX="a|b"))
    done = subprocess.run(["cmake", "--preset", "win32", "-B", folder + "/build", "-DLAUNCHER_BRAND=" + brand],
                          cwd=REPO, capture_output=True, text=True)
    check(done.returncode != 0 and "BRAND_MUTEX" in done.stderr and brand in done.stderr,
          "a bad brand file stops the win32 preset's configuration", done.stdout + done.stderr)


def build_test_brand():
    for preset in ("win32", "win64"):
        folder = os.path.join(BRAND_TREE, preset)
        done = subprocess.run("cmake --preset %s -B %s -DLAUNCHER_BRAND=%s >/dev/null && cmake --build %s -j2"
                              % (preset, folder, TEST_BRAND, folder), shell=True, cwd=REPO, capture_output=True,
                              text=True)
        if not check(done.returncode == 0, "the test brand's %s build" % preset, done.stdout + done.stderr):
            continue
        checked = subprocess.run([sys.executable, os.path.join(REPO, "tests", "artefact", "check_exe.py"),
                                  os.path.join(folder, "Setup.exe"), preset], capture_output=True, text=True)
        print(checked.stdout, end="")
        check(checked.returncode == 0, "the test brand's %s Setup.exe: version record, icon, no default name" % preset)


def main():
    scratch = tempfile.mkdtemp(prefix="brand-test-", dir="/tmp")
    try:
        check_brand_files(scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    if "--no-build" not in sys.argv:
        build_test_brand()
    print("brand: %d passed, %d failed" % (RESULTS.count(True), RESULTS.count(False)))
    return 0 if RESULTS and all(RESULTS) else 1


if __name__ == "__main__":
    sys.exit(main())
