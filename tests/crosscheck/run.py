#!/usr/bin/env python3
"""Cross-check of the host stand-in against the real Win32 functions.

Runs the probe built for the host (against the stand-in) and the probe built
for 64-bit Windows (under Wine, in a Wine prefix of its own), compares their
outputs case by case and ends with "crosscheck: N passed, N failed".

A case the probe marks "~" is one where Wine is known to answer otherwise than
Windows: it is skipped in the comparison with Wine, and the stand-in's answer
is held to the Windows answer the probe states for it instead.

Build first:
    cmake --preset host && cmake --build --preset host
    cmake --preset win64 && cmake --build --preset win64
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
LINE = re.compile(r"^(\S+) (=|~|windows) (.*)$")


class ProbeError(Exception):
    pass


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--prefix", default=os.path.join(ROOT, "build", "crosscheck", "prefix"),
                        help="Wine prefix to run in (created when missing)")
    parser.add_argument("--host-probe",
                        default=os.path.join(ROOT, "build", "host", "tests", "crosscheck", "crosscheck_probe"))
    parser.add_argument("--windows-probe",
                        default=os.path.join(ROOT, "build", "win64", "tests", "crosscheck", "crosscheck_probe.exe"))
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "crosscheck", "work"),
                        help="folder the probes write their case files in (emptied first)")
    parser.add_argument("--timeout", type=int, default=120, help="seconds allowed to each probe run")
    parser.add_argument("--xvfb", action="store_true",
                        help="run Wine on a private Xvfb display (not needed for the console probe)")
    return parser.parse_args()


def fresh_folder(path):
    """An empty folder, so case files of an earlier run cannot answer for this one."""
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def wine_environment(prefix, display):
    """Wine's environment: our prefix, no debug chatter, no Mono/Gecko install
    prompts.  The probe is a console program and needs no display, so the
    caller's DISPLAY is dropped unless a private Xvfb was asked for."""
    env = dict(os.environ)
    env["WINEPREFIX"] = os.path.abspath(prefix)
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    env.pop("DISPLAY", None)
    if display:
        env["DISPLAY"] = display
    return env


def run(command, cwd, env, timeout):
    """Runs command and returns its stdout; ProbeError when it fails or hangs."""
    try:
        done = subprocess.run(command, cwd=cwd, env=env, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    except subprocess.TimeoutExpired:
        raise ProbeError("%s: no answer within %d s" % (command[-1], timeout))
    except OSError as error:
        raise ProbeError("%s: %s" % (command[0], error))
    if done.returncode != 0:
        raise ProbeError("%s exited with %d: %s" % (command[-1], done.returncode,
                                                   done.stderr.decode("latin-1").strip()[-2000:]))
    return done.stdout.decode("latin-1")


def ensure_prefix(env, timeout):
    """Creates the Wine prefix when it has not been set up yet."""
    if os.path.exists(os.path.join(env["WINEPREFIX"], "system.reg")):
        return
    print("crosscheck: creating Wine prefix %s" % env["WINEPREFIX"])
    os.makedirs(env["WINEPREFIX"], exist_ok=True)
    run([WINE, "wineboot", "-i"], cwd=ROOT, env=env, timeout=timeout)


def free_display():
    """The first display number with neither a lock file nor a socket."""
    for number in range(90, 200):
        if not os.path.exists("/tmp/.X%d-lock" % number) and \
                not os.path.exists("/tmp/.X11-unix/X%d" % number):
            return number
    raise ProbeError("no free X display number")


def start_xvfb():
    """Starts our own Xvfb; returns (process, ":N")."""
    number = free_display()
    process = subprocess.Popen(["Xvfb", ":%d" % number, "-nolisten", "tcp"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(50):
        if os.path.exists("/tmp/.X11-unix/X%d" % number):
            return process, ":%d" % number
        if process.poll() is not None:
            break
        try:
            process.wait(timeout=0.1)
        except subprocess.TimeoutExpired:
            pass
    stop_process(process)
    raise ProbeError("Xvfb :%d did not start" % number)


def stop_process(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=10)


def parse(output, side):
    """Maps case id to {"mark", "text", "windows"}, keeping the probe's order."""
    cases = {}
    for line in output.replace("\r\n", "\n").split("\n"):
        if not line:
            continue
        match = LINE.match(line)
        if not match:
            raise ProbeError("%s probe printed an unexpected line: %r" % (side, line))
        case_id, mark, text = match.groups()
        if mark == "windows":
            if case_id not in cases:
                raise ProbeError("%s probe: Windows answer for unknown case %s" % (side, case_id))
            cases[case_id]["windows"] = text[3:] if text.startswith("-> ") else text
        elif case_id in cases:
            raise ProbeError("%s probe printed case %s twice" % (side, case_id))
        else:
            cases[case_id] = {"mark": mark, "text": text, "windows": None}
    if not cases:
        raise ProbeError("%s probe printed no cases" % side)
    return cases


def answer(text):
    """The result part of a case line ("... -> result")."""
    return text.split(" -> ", 1)[1] if " -> " in text else text


def compare(host, wine):
    """Prints every difference; returns (passed, failed, skipped)."""
    passed = failed = skipped = 0
    for case_id in list(host) + [i for i in wine if i not in host]:
        mine, theirs = host.get(case_id), wine.get(case_id)
        if mine is None or theirs is None:
            failed += 1
            print("FAIL %s: only the %s probe has this case" % (case_id, "host" if mine else "Windows"))
            continue
        if mine["mark"] == "~":
            expected = mine["windows"]
            note = "Wine differs from Windows; Wine: %s" % answer(theirs["text"])
            if expected is not None and answer(mine["text"]) == expected:
                skipped += 1
                print("SKIP %s (%s)" % (mine["text"], note))
            else:
                failed += 1
                print("FAIL %s\n     stand-in: %s\n     Windows:  %s" % (
                    case_id, mine["text"], expected))
            continue
        if mine == theirs:
            passed += 1
            continue
        failed += 1
        what = mine["text"].split(" -> ", 1)[0]
        print("FAIL %s\n     stand-in: %s\n     Wine:     %s" % (
            what, answer(mine["text"]), answer(theirs["text"])))
    return passed, failed, skipped


def run_probes(args):
    for probe in (args.host_probe, args.windows_probe):
        if not os.path.isfile(probe):
            raise ProbeError("%s is missing: build the host and win64 presets first" % probe)
    host_output = run([os.path.abspath(args.host_probe)], cwd=fresh_folder(os.path.join(args.work, "host")),
                      env=dict(os.environ), timeout=args.timeout)
    xvfb, display = start_xvfb() if args.xvfb else (None, None)
    env = wine_environment(args.prefix, display)
    try:
        ensure_prefix(env, max(args.timeout, 300))
        wine_output = run([WINE, os.path.abspath(args.windows_probe)],
                          cwd=fresh_folder(os.path.join(args.work, "windows")),
                          env=env, timeout=args.timeout)
    finally:
        try:
            subprocess.run([WINESERVER, "-k"], env=env, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except (subprocess.TimeoutExpired, OSError):
            print("crosscheck: wineserver -k did not finish", file=sys.stderr)
        if xvfb:
            stop_process(xvfb)
    return parse(host_output, "host"), parse(wine_output, "Windows")


def main():
    args = parse_args()
    try:
        host, wine = run_probes(args)
        passed, failed, skipped = compare(host, wine)
    except ProbeError as error:
        print("crosscheck: %s" % error)
        passed, failed, skipped = 0, 1, 0
    if skipped:
        print("crosscheck: %d skipped (Wine differs from Windows; stand-in held to Windows)" % skipped)
    print("crosscheck: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
