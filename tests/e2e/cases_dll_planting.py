"""DLL planting: a launch folder full of planted DLLs must not get one of them
loaded, on the start-up path or anywhere in the installation flow, and the test
must be able to fail.

The planted DLL (tests/e2e/planted/planted.c) writes "<its path>.loaded" when a
process loads it.  A copy goes into the launch folder under the name of every
DLL the launcher and the stand-in tools touch: their static imports, every DLL
name their files carry (what they load at run time or name in a command), and
what the DLLs loaded at run time import in turn.

Wine is told to prefer native DLLs for those names (WINEDLLOVERRIDES), so that it
searches the launch folder the way Windows does for a DLL that is not a KnownDLL.
KnownDLLs (kernel32, user32, shell32, ...) always come from System32 on Windows;
Wine has no such list, and would load a planted kernel32 given the chance, so
those names keep Wine's own order, as does combase (a KnownDLL from Windows 8
on; Windows 7 has none, and the launcher names it by its full path).  So do the DLLs that Wine's own system DLLs
import when the process starts (user32 imports version.dll and ucrtbase.dll in
Wine, not in Windows): a planted copy found there tells about Wine, not about us.
"""

import os
import re
import shutil
import sys

import packages
import ui
from launcher import FRAME_CLASS, MESSAGE_BOX_CLASS, PRODUCT_TITLE, finish_after_box, launch
from cases_tools import read_log
from suite import case
from winenv import REPO_ROOT, windows_path

sys.path.insert(0, os.path.join(REPO_ROOT, "tests", "artefact"))
from check_exe import ALLOWED_STATIC_DLLS, Pe  # noqa: E402

NOTICE_TEXT = "If your operating system is Windows 7"
NETWORK_NOTICE = "\"Use a network port\" is selected."
ABORTED = "The printer driver installation was aborted. "
STAND_IN_TOOLS = ("pnputil.exe", "rundll32.exe")  # 64-bit, as in the prefix's system32
# The DLLs our programs load at run time by full path: what they import is looked
# for with the process's search order at that moment.
WINE_DLL_DIRS = {32: "/usr/lib/i386-linux-gnu/wine/i386-windows", 64: "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"}
DLL_NAME = re.compile(rb"[A-Za-z0-9_.-]+\.(?:dll|drv)\b", re.IGNORECASE)
# Never taken from a launch folder by Windows either, though not a KnownDLL of
# every version: combase is one from Windows 8 on, and Windows 7 has none.
SYSTEM_ONLY_DLLS = {"combase.dll"}
MARKER = ".loaded"
TIMEOUT_MS = 15000


def dll_names_in(path):
    """Static imports of the PE file at path, and every DLL name its bytes carry."""
    with open(path, "rb") as handle:
        data = handle.read()
    names = {name.lower() for name in Pe(data).imports()}
    names |= {match.decode("ascii").lower() for match in DLL_NAME.findall(data)}
    return names


def wine_imports(name, bits):
    """Static imports of Wine's own copy of a DLL (empty when Wine has none)."""
    path = os.path.join(WINE_DLL_DIRS[bits], name)
    if not os.path.isfile(path):
        return set()
    with open(path, "rb") as handle:
        return {dll.lower() for dll in Pe(handle.read()).imports()}


def wine_start_closure(names, bits):
    """Every DLL Wine's own copies of names import, followed through."""
    seen, todo = set(), list(names)
    while todo:
        name = todo.pop()
        if name in seen:
            continue
        seen.add(name)
        todo.extend(wine_imports(name, bits) - seen)
    return seen


def planted_names(setup_exe, tools, bits):
    """(names to plant, names Wine is told to take natively first)."""
    with open(setup_exe, "rb") as handle:
        static = {name.lower() for name in Pe(handle.read()).imports()}
    names = dll_names_in(setup_exe)
    for tool in tools:
        names |= dll_names_in(tool)
    names.discard("e2e_hook.dll")  # the UI driver's test hook, loaded only by the menu case
    loaded_later = {name for name in names if name not in ALLOWED_STATIC_DLLS}
    for name in sorted(loaded_later):
        names |= wine_imports(name, bits)
    wine_own = wine_start_closure(static, bits) - static
    native_first = {name for name in names
                    if name not in ALLOWED_STATIC_DLLS and name not in SYSTEM_ONLY_DLLS and name not in wine_own}
    return sorted(names), sorted(native_first)


def overrides(native_first):
    keys = [name[:-4] if name.endswith(".dll") else name for name in native_first]
    return ",".join(keys) + "=n,b;mscoree,mshtml="


def plant(folder, planted_dll, names):
    for name in names:
        shutil.copyfile(planted_dll, os.path.join(folder, name))


def markers(folder):
    """{planted DLL: the processes that loaded it} for every marker in folder."""
    found = {}
    for entry in sorted(os.listdir(folder)):
        if entry.endswith(MARKER):
            with open(os.path.join(folder, entry), encoding="latin-1") as handle:
                found[entry[:-len(MARKER)]] = [line for line in handle.read().splitlines() if line]
    return found


def planted_dll(bits):
    return os.path.join(REPO_ROOT, "build", "win32" if bits == 32 else "win64", "e2e", "planted", "planted.dll")


def lay_out(ctx, row, setup_exe, dll_bits):
    folder = packages.lay_out_package(ctx.folder(row), setup_exe)
    tools = [ctx.env.tool(name) for name in STAND_IN_TOOLS]
    names, native_first = planted_names(setup_exe, tools, ctx.env.bits)
    plant(folder, planted_dll(dll_bits), names)
    return folder, names, native_first


def wait_notice(ctx, what):
    found = ui.report(ctx.env, TIMEOUT_MS, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, caption=PRODUCT_TITLE,
                      text=NOTICE_TEXT)
    ctx.require(found.done and found.windows, "%s: no notice; %s" % (what, found.describe()))


def press(ctx, what, action):
    ctx.require(action.done, "%s: %s" % (what, action.describe()))


def dismiss_box(ctx, what, text):
    press(ctx, what, ui.click(ctx.env, "OK", TIMEOUT_MS, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, text=text))


def run_whole_flow(ctx, row, setup_exe, dll_bits):
    """Notice, page with the network option, staging, wizard, outcome.  Returns
    the markers found once the notice shows and those found at the end."""
    folder, _names, native_first = lay_out(ctx, row, setup_exe, dll_bits)
    log = ctx.folder(row + "-tools.log")
    process = launch_with(ctx, folder, native_first, {"E2E_TOOL_LOG": windows_path(log)})
    wait_notice(ctx, row)
    at_notice = markers(folder)
    press(ctx, row, ui.click(ctx.env, "OK", TIMEOUT_MS, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS,
                             text=NOTICE_TEXT))
    press(ctx, row, ui.click(ctx.env, "Use a network port", TIMEOUT_MS, exe="Setup.exe", class_name=FRAME_CLASS))
    press(ctx, row, ui.click(ctx.env, "OK", TIMEOUT_MS, exe="Setup.exe", class_name=FRAME_CLASS))
    dismiss_box(ctx, row, NETWORK_NOTICE)
    dismiss_box(ctx, row, ABORTED)  # the wizard stand-in adds no printer
    finish_after_box(ctx, process, row)
    # Both tools ran: the staging tool ended well and the wizard was started.
    ctx.check_equal([record["tool"] for record in read_log(log)], ["pnputil", "rundll32"], "%s: tools run" % row)
    return at_notice, markers(folder)


def run_to_notice(ctx, row, setup_exe, dll_bits):
    """Start-up only: the markers found once the notice shows; then Cancel."""
    folder, _names, native_first = lay_out(ctx, row, setup_exe, dll_bits)
    process = launch_with(ctx, folder, native_first)
    wait_notice(ctx, row)
    found = markers(folder)
    press(ctx, row, ui.click(ctx.env, "CANCEL", TIMEOUT_MS, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS,
                             text=NOTICE_TEXT))
    finish_after_box(ctx, process, row)
    return found


def loaded(found):
    return sorted(name.lower() for name in found)


def launch_with(ctx, folder, native_first, extra_env=None):
    env = {"WINEDLLOVERRIDES": overrides(native_first)}
    env.update(extra_env or {})
    return ctx.env.spawn(["Setup.exe"], cwd=folder, extra_env=env)


@case
def dll_planting_whole_flow(ctx):
    bits = ctx.env.bits
    tools = [ctx.env.tool(name) for name in STAND_IN_TOOLS]
    names, native_first = planted_names(ctx.env.setup_exe, tools, bits)
    ctx.check("comctl32.dll" in native_first and "winspool.drv" in native_first,
              "the run-time DLLs are not planted: %s" % native_first)
    # The launcher's own bitness, then the other one (the stand-in tools are 64-bit).
    for dll_bits in (bits, 96 - bits):
        row = "planted%d" % dll_bits
        at_notice, at_end = run_whole_flow(ctx, row, ctx.env.setup_exe, dll_bits)
        ctx.check_equal(at_notice, {}, "%s: planted DLLs loaded on the start-up path" % row)
        ctx.check_equal(at_end, {}, "%s: planted DLLs loaded during the flow" % row)
    print("       planted %d DLLs (%s); native first: %s" % (len(names), " ".join(names), " ".join(native_first)))


def variant_exe(bits, variant):
    return os.path.join(REPO_ROOT, "build", "win32" if bits == 32 else "win64", "e2e", "planted", variant,
                        "Setup.exe")


@case(once=True)
def dll_planting_vulnerable_builds(ctx):
    """The test can fail: builds with one defence taken out get a planted DLL
    loaded; the bare-name build with the restriction in place does not."""
    bits = ctx.env.bits
    rows = [
        # (variant, whole flow?, planted DLLs loaded by the notice, and by the end)
        ("static", False, ["comctl32.dll"], None),  # imported statically: loaded before WinMain
        ("bare", False, ["comctl32.dll"], None),    # bare name, no restriction: launch folder first
        ("bare-guarded", False, [], None),          # bare name, restriction in place: System32 only
        # Full paths but no restriction: winspool.drv, loaded by full path to count
        # printers, imports compstui.dll, which is then taken from the launch folder.
        ("unguarded", True, [], ["compstui.dll"]),
    ]
    for variant, whole_flow, by_notice, by_end in rows:
        exe = variant_exe(bits, variant)
        with open(exe, "rb") as handle:
            outside = {name.lower() for name in Pe(handle.read()).imports()} - ALLOWED_STATIC_DLLS
        # The artefact check's rule catches the static import before any run does.
        ctx.check_equal(sorted(outside), ["comctl32.dll"] if variant == "static" else [],
                        "%s: static imports outside the allowed set" % variant)
        if whole_flow:
            at_notice, at_end = run_whole_flow(ctx, variant, exe, bits)
            ctx.check_equal(loaded(at_end), by_end, "%s: planted DLLs loaded by the end" % variant)
        else:
            at_notice = run_to_notice(ctx, variant, exe, bits)
        ctx.check_equal(loaded(at_notice), by_notice, "%s: planted DLLs loaded by the notice" % variant)
