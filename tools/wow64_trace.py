#!/usr/bin/env python3
"""Traces what the launcher loads while file system redirection is off, under
Wine's WoW64: a quiet install, a window-mode install and a network-port
install of the sample package, each under Wine's relay trace of the two
redirection calls and its loader trace.

    python3 tools/wow64_trace.py [--exe PATH]

Prints, per run, the redirection calls and the DLLs loaded, in order, each
with its thread, then any DLL a thread loaded between turning redirection off
and back on.  Wine loads its own DLLs whatever redirection says, so such a
load works here; on Windows it fails.  Ends with 0 when there is none.

Build first: bash scripts/build.sh win32.  Needs a kernel that runs i386
programs and Debian's wine32:i386.
"""

import argparse
import os
import re
import sys

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO_ROOT, "tests", "e2e"))

import builds  # noqa: E402
import suite  # noqa: E402
import winenv  # noqa: E402
from cases_install import MSG_COMPLETED, MSG_NETWORK_NOTICE, MSG_READY, Box, Launch, package  # noqa: E402

PREFIX = os.path.join(REPO_ROOT, "build", "trace", "prefix")
RELAY_INCLUDE = ";".join("%s.Wow64%sWow64FsRedirection" % (dll, verb)
                         for dll in ("kernel32", "kernelbase") for verb in ("Disable", "Revert"))
TRACE = "+pid,+loaddll,+relay"

# Each line starts with process:thread.
REDIRECTION = re.compile(r"^([0-9a-f]{4}):([0-9a-f]{4}):Call (?:KERNEL32|kernelbase)\.Wow64(Disable|Revert)", re.I)
LOADED = re.compile(r"^([0-9a-f]{4}):([0-9a-f]{4}):trace:loaddll:\S+ Loaded L\"([^\"]+)\"", re.I)


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--exe", default=os.path.join(REPO_ROOT, "build", "win32", "Setup.exe"),
                        help="the 32-bit Setup.exe to trace")
    return parser.parse_args()


def events(stderr):
    """('off'|'on'|'load', thread, detail) for each line of interest of the
    launcher's process (the one that loads Setup.exe), in order."""
    lines = stderr.splitlines()
    launcher = next((match.group(1) for match in map(LOADED.match, lines)
                     if match and match.group(3).lower().endswith("\\setup.exe")), None)
    found = []
    for line in lines:
        redirection, loaded = REDIRECTION.match(line), LOADED.match(line)
        match = redirection or loaded
        if not match or match.group(1) != launcher:
            continue
        if redirection:
            found.append(("off" if redirection.group(3).lower() == "disable" else "on", match.group(2), ""))
        else:
            found.append(("load", match.group(2), loaded.group(3)))
    return found


def loads_while_off(found):
    """The DLLs a thread loaded while it had redirection off."""
    off, bad = set(), []
    for kind, thread, detail in found:
        if kind == "off":
            off.add(thread)
        elif kind == "on":
            off.discard(thread)
        elif thread in off:
            bad.append((thread, detail))
    return bad


def quiet_install(ctx, folder):
    launch = ctx.env.spawn(["Setup.exe", "/quiet"], cwd=folder, extra_env={"WINEDEBUG": TRACE})
    return ctx.env.finish(launch, 60)


def window_install(ctx, folder, network):
    launch = Launch(ctx, "network" if network else "window", folder,
                    {"WINEDEBUG": TRACE, "E2E_WIZARD_ADD_PRINTER": 1})
    launch.confirm_page(network)
    boxes = [Box(MSG_NETWORK_NOTICE, "information"), Box(MSG_COMPLETED, "information")] if network else \
        [Box(MSG_READY, "information")]
    launch.expect_boxes(boxes)
    return ctx.env.finish(launch.process, 30)


def main():
    arguments = parse_arguments()
    if not builds.kernel_runs_i386():
        print("wow64_trace: the kernel runs no i386 program")
        return 2
    driver_dir = os.path.join(REPO_ROOT, "build", "win32", "e2e")
    env = winenv.WineEnv(setup_exe=arguments.exe, driver_dir=driver_dir, prefix=PREFIX, wow64=True)
    status = 0
    try:
        env.start()
        env.use(arguments.exe, driver_dir, 32)
        env.run_wine(["reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/t", "REG_SZ",
                      "/d", RELAY_INCLUDE, "/f"])
        ctx = suite.Context(env, "wow64-trace")
        runs = [("quiet install", lambda folder: quiet_install(ctx, folder)),
                ("window-mode install", lambda folder: window_install(ctx, folder, False)),
                ("network-port install", lambda folder: window_install(ctx, folder, True))]
        for name, run in runs:
            folder = package(ctx, name.replace(" ", "-"))
            result = run(folder)
            found = events(result.stderr)
            print("== %s (exit %s)" % (name, result.returncode))
            for kind, thread, detail in found:
                print("  %s %s %s" % (thread, {"off": "redirection off", "on": "redirection on",
                                                "load": "loaded"}[kind], detail))
            bad = loads_while_off(found)
            print("  loaded while redirection was off: %s" % (", ".join(d for _, d in bad) if bad else "none"))
            status |= 1 if bad else 0
        for failure in ctx.failures:
            print("wow64_trace: %s" % failure)
            status = 1
    finally:
        env.close()
    return status


if __name__ == "__main__":
    sys.exit(main())
