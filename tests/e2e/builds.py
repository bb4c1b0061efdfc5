"""Which builds of Setup.exe the suite runs, and with which UI driver.

The shipped launcher is the 32-bit build/win32/Setup.exe.  Debian's wine32:i386
runs it as a WoW64 process of the suite's 64-bit prefix (IsWow64Process answers
TRUE there, so the launcher's WOW64 paths run for real), but only where the
kernel runs i386 programs.  That is checked with a tiny static i386 program
made by binutils, not with a .exe (Wine would hide why it failed).  Where it
does not run, the 64-bit build stands in.  The 64-bit build also runs the cases
marked for both builds, when the 32-bit one is the main one.

The UI driver and its hook DLL are taken from the launcher's own build, since
the hook is loaded into the launcher's process.  The stand-in system tools are
always the 64-bit ones: they stand for the tools of 64-bit Windows.
"""

import os
import shutil
import subprocess
import tempfile

from brand import tree

WINE32_LOADER = "/usr/lib/wine/wine"
I386_EXIT_CODE = 42
I386_PROGRAM = """\
    .globl _start
_start:
    movl $1, %%eax
    movl $%d, %%ebx
    int $0x80
""" % I386_EXIT_CODE


class Build:
    """One Setup.exe and the driver that matches it."""

    def __init__(self, name, bits, note):
        self.name = name
        self.bits = bits
        self.note = note
        self.setup_exe = os.path.join(tree(), name, "Setup.exe")
        self.driver_dir = os.path.join(tree(), name, "e2e")

    def __repr__(self):
        return "Build(%s)" % self.name


def kernel_runs_i386():
    """(True, why) when the kernel runs a static i386 ELF program; (False, why) otherwise."""
    if not (shutil.which("as") and shutil.which("ld")):
        return False, "binutils (as, ld) not found to make the i386 check program"
    folder = tempfile.mkdtemp(prefix="e2e-i386-", dir="/tmp")
    try:
        source, objects, program = (os.path.join(folder, name) for name in ("exit.s", "exit.o", "exit"))
        with open(source, "w") as handle:
            handle.write(I386_PROGRAM)
        for command in (["as", "--32", "-o", objects, source], ["ld", "-m", "elf_i386", "-o", program, objects]):
            made = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=30)
            if made.returncode != 0:
                return False, "could not build the i386 check program: %s" % made.stdout.decode(errors="replace")
        try:
            ran = subprocess.run([program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        except OSError as problem:
            return False, "the kernel runs no i386 program (%s)" % problem
        if ran.returncode != I386_EXIT_CODE:
            return False, "the i386 check program ended with %d, not %d" % (ran.returncode, I386_EXIT_CODE)
        return True, "the kernel runs i386 programs"
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def choose_builds():
    """The builds to run, the main one first, each with a note for the output."""
    runs_i386, why = kernel_runs_i386()
    if not runs_i386:
        return [Build("win64", 64, "%s: running the 64-bit build only" % why)]
    if not os.access(WINE32_LOADER, os.X_OK):
        return [Build("win64", 64, "%s, but wine32:i386 is not installed (no %s): running the 64-bit build only"
                      % (why, WINE32_LOADER))]
    return [Build("win32", 32, "%s: running the shipped 32-bit build as a WoW64 process" % why),
            Build("win64", 64, "and the 64-bit build for the cases marked for both")]


def named_build(name):
    """The build given on the command line (win32 or win64)."""
    bits = {"win32": 32, "win64": 64}[name]
    return Build(name, bits, "asked for on the command line")
