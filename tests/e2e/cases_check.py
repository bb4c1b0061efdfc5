"""The package check under Wine: Setup.exe /check reports every problem of a
broken package at once on the standard output it was given, and a sound
package passes; the launcher runs from the build folder, so nothing is
written into the package.  A UTF-8 byte order mark is found by reading the
file: Wine's own profile reader would read such a file without complaint."""

import os

import packages
from cases_install import package, snapshot
from suite import case

CHECK_TIMEOUT = 30
LOW_BYTE = 0xFF  # wine64's exit status keeps the low 8 bits of the exit code


def check(ctx, folder):
    """Runs the launcher's /check in folder; returns (report lines, exit status)."""
    result = ctx.env.run_wine([ctx.env.setup_exe, "/check"], cwd=folder, timeout=CHECK_TIMEOUT)
    ctx.check(not result.timed_out, "check timed out in %s" % folder)
    return result.stdout.replace("\r\n", "\n").splitlines(), result.returncode


def models(amd64='"ZEMBRIX VQ-2200 Series"'):
    """The report's lines of the models offered for each platform."""
    return ["[INFNAME] INF0=VQ2200.INF: models for NT%s: %s" % (platform, names)
            for platform, names in (("amd64", amd64), ("arm64", '"ZEMBRIX VQ-2200 Series"'),
                                    ("x86", '"ZEMBRIX VQ-2200 Series"'))]


@case
def package_check_reports(ctx):
    sound = package(ctx, "sound")
    os.remove(os.path.join(sound, "Setup.exe"))  # the check needs no launcher in the package
    before = snapshot(sound)
    lines, status = check(ctx, sound)
    ctx.check_equal(lines, ["Package check: Setup.INI"] + models() +
                    ["Longest launch folder: 100 bytes", "0 errors, 0 warnings"], "sound: report")
    ctx.check_equal(status, 0, "sound: exit status")
    ctx.check(snapshot(sound) == before, "sound: package folder changed")

    broken = package(ctx, "broken")
    os.remove(os.path.join(broken, "Setup.exe"))
    setup_file = os.path.join(broken, "Setup.INI")
    with open(setup_file, "rb") as handle:
        text = handle.read().replace(b"FILEITEM=5", b"FILEITEM=4")
    with open(setup_file, "wb") as handle:
        handle.write(b"\xef\xbb\xbf" + text + b"FL7=extra.txt\r\n")
    os.remove(os.path.join(broken, "vq2200.cat"))
    os.remove(os.path.join(broken, "Driver", "x64", "VQ2200UI.DLL"))
    before = snapshot(broken)
    lines, status = check(ctx, broken)
    ctx.check_equal(lines, [
        "Package check: Setup.INI",
        "error: Setup.INI: UTF-8 byte order mark; Windows cannot read the first section",
        "warning: [FILELIST] FL4: beyond FILEITEM=4, never read",
        "warning: [FILELIST] FL7: beyond FILEITEM=4, never read",
        "error: [FILELIST] FL1=vq2200.cat: missing",
        "error: [FILELIST] FL2=Driver\\x64\\VQ2200UI.DLL: missing",
        "error: [INFNAME] INF0=VQ2200.INF: CatalogFile vq2200.cat missing",
        # the staging tool would refuse it too: a file the INF names for x64 is not there
        "error: [INFNAME] INF0=VQ2200.INF: NTamd64: Driver\\x64\\VQ2200UI.DLL missing"] + models() + [
        "Longest launch folder: 100 bytes",
        "5 errors, 2 warnings"], "broken: report")
    ctx.check_equal(status, 1620 & LOW_BYTE, "broken: exit status (1620)")
    ctx.check(snapshot(broken) == before, "broken: package folder changed")


@case
def package_check_platforms(ctx):
    # An INF to install with no NTamd64 models serves no 64-bit Windows: one warning.
    folder = package(ctx, "no-x64")
    os.remove(os.path.join(folder, "Setup.exe"))
    inf = os.path.join(folder, "VQ2200.INF")
    with open(inf, "rb") as handle:
        text = handle.read()
    ctx.require(b"%Maker%=Models,NTx86,NTamd64,NTarm64" in text, "the sample INF's [Manufacturer] has changed")
    with open(inf, "wb") as handle:
        handle.write(text.replace(b"%Maker%=Models,NTx86,NTamd64,NTarm64", b"%Maker%=Models,NTx86,NTarm64"))
    lines, status = check(ctx, folder)
    ctx.check_equal(lines, [
        "Package check: Setup.INI",
        "warning: [INFNAME] INF0=VQ2200.INF: [Manufacturer] names no NTamd64 models: nothing to install on 64-bit "
        "Windows"] + models(amd64="none") + [
        "Longest launch folder: 100 bytes",
        "0 errors, 1 warning"], "no-x64: report")
    ctx.check_equal(status, 0, "no-x64: exit status")


@case
def package_check_judges_as_the_install(ctx):
    # What the launcher or the system's staging tool would refuse: a folder
    # over 100 bytes (a warning), a file the INF names for ARM64 missing, an
    # INF naming no catalog.
    deep = packages.folder_of_length(ctx.scratch, 101)
    package(ctx, os.path.relpath(deep, ctx.scratch))
    lines, status = check(ctx, deep)
    ctx.check_equal(lines[1], "warning: this folder: 101 bytes, over 100: the launcher refuses to install from it",
                    "101 bytes: warning")
    ctx.check_equal((lines[-1], status), ("0 errors, 1 warning", 0), "101 bytes: counts and exit status")

    folder = package(ctx, "no-arm64-module")
    os.remove(os.path.join(folder, "Driver", "arm64", "VQ2200UI.DLL"))
    lines, status = check(ctx, folder)
    ctx.check("error: [INFNAME] INF0=VQ2200.INF: NTarm64: Driver\\arm64\\VQ2200UI.DLL missing" in lines,
              "no-arm64-module: not reported: %r" % lines)
    ctx.check_equal((lines[-1], status), ("1 error, 0 warnings", 1620 & LOW_BYTE), "no-arm64-module: counts")

    folder = package(ctx, "no-catalog")
    inf = os.path.join(folder, "VQ2200.INF")
    with open(inf, "rb") as handle:
        text = handle.read()
    with open(inf, "wb") as handle:
        handle.write(text.replace(b"CatalogFile=vq2200.cat\r\n", b"").replace(b"CatalogFile=vq2200.cat\n", b""))
    lines, status = check(ctx, folder)
    ctx.check("error: [INFNAME] INF0=VQ2200.INF: names no catalog: it cannot be signed, and 64-bit Windows stages "
              "no unsigned package" in lines, "no-catalog: not reported: %r" % lines)
    ctx.check_equal((lines[-1], status), ("1 error, 0 warnings", 1620 & LOW_BYTE), "no-catalog: counts")
