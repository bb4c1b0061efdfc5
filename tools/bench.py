#!/usr/bin/env python3
"""The figures of tools/bench.sh: start-up against the floor, size, the
latency from the staging tool's exit to the outcome box, and what a quiet run
costs beside its staging tool, measured side by side in one run under the same
Wine, on a private prefix and virtual display.

    python3 tools/bench.py [--runs N] [--build win32|win64]

The 32-bit builds run as WoW64 processes of a 64-bit prefix where the kernel
runs i386 programs and wine32:i386 is installed (the shipped build); else the
64-bit builds.  The output says which.
"""

import argparse
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO_ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(REPO_ROOT, "tests", "artefact"))

import builds  # noqa: E402
import packages  # noqa: E402
import winenv  # noqa: E402
from check_exe import Pe  # noqa: E402

PREFIX = os.path.join(REPO_ROOT, "build", "bench", "prefix")
STAGING_SLEEP_MS = 300  # the stand-in pnputil runs this long, so the launcher is waiting when it ends
PAUSE_MS = 100  # the frame's pause on losing the focus
STARTUP_TARGET = 1.05
LATENCY_TARGET_MS = 120
QUIET_TARGET_MS = 150


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=12, help="measured runs of each program (default 12)")
    parser.add_argument("--build", choices=("win32", "win64"), help="default: chosen by what the machine runs")
    return parser.parse_args()


def machine():
    cpu = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as handle:
            names = [line.split(":", 1)[1].strip() for line in handle if line.startswith("model name")]
        cpu = "%s x %d" % (names[0], len(names)) if names else cpu
    except OSError:
        pass
    wine = subprocess.run([winenv.WINE_LOADER, "--version"], stdout=subprocess.PIPE, universal_newlines=True)
    return "%s, %s, Linux %s" % (wine.stdout.strip(), cpu, platform.release())


def imports(path):
    with open(path, "rb") as handle:
        return " ".join(sorted(name.lower() for name in Pe(handle.read()).imports()))


def probe(env, folder, args, extra_env=None, timeout=600):
    """Runs bench_probe.exe in folder; returns {(kind, exe): [ms, ...]} and the errors."""
    result = env.run_wine([os.path.join(folder, "bench_probe.exe")] + args, cwd=folder, extra_env=extra_env,
                          timeout=timeout)
    figures, errors = {}, []
    for line in result.stdout.splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[0] in ("startup", "shown", "exit", "latency", "quiet"):
            figures.setdefault((fields[0], fields[1]), []).append(float(fields[2]))
        elif line.startswith("error"):
            errors.append(line)
    if result.timed_out or result.returncode != 0:
        errors.append("bench_probe: %r" % result)
    return figures, errors


def spread(values):
    """Interquartile range: how far apart the middle half of the runs lie."""
    quartiles = statistics.quantiles(values, n=4)
    return quartiles[2] - quartiles[0]


def measured(values):
    """Drops the first (warm-up) run."""
    return values[1:]


def main():
    arguments = parse_arguments()
    build = builds.named_build(arguments.build) if arguments.build else builds.choose_builds()[0]
    bench_dir = os.path.join(os.path.dirname(build.setup_exe), "bench")
    env = winenv.WineEnv(setup_exe=build.setup_exe, driver_dir=build.driver_dir, prefix=PREFIX,
                         wow64=build.bits == 32)
    env.use(build.setup_exe, build.driver_dir, build.bits)
    folder = tempfile.mkdtemp(prefix="bench-", dir="/tmp")
    errors = []
    try:
        env.start()
        packages.lay_out_package(folder, build.setup_exe)
        for name in ("floor.exe", "floor_nopause.exe", "bench_probe.exe"):
            shutil.copyfile(os.path.join(bench_dir, name), os.path.join(folder, name))
        runs = arguments.runs + 1
        startup, problems = probe(env, folder, ["startup", str(runs), "Setup.exe", "floor.exe", "floor_nopause.exe"])
        errors += problems
        latency, problems = probe(env, folder, ["latency", str(runs), "Setup.exe"],
                                  extra_env={"E2E_PNPUTIL_SLEEP_MS": str(STAGING_SLEEP_MS)})
        errors += problems
        quiet, problems = probe(env, folder, ["quiet", str(runs), "Setup.exe"],
                                extra_env={"E2E_PNPUTIL_SLEEP_MS": str(STAGING_SLEEP_MS)})
        errors += problems
    finally:
        env.close()
        shutil.rmtree(folder, ignore_errors=True)

    print("bench: %s build (%s)" % (build.name, build.note))
    print("bench: machine: %s" % machine())
    setup = measured(startup.get(("startup", "Setup.exe"), []))
    floor = measured(startup.get(("startup", "floor.exe"), []))
    bare = measured(startup.get(("startup", "floor_nopause.exe"), []))
    status = 0
    if setup and floor and bare:
        ratio = statistics.median(setup) / statistics.median(floor)
        pause = statistics.median(floor) - statistics.median(bare)
        shown = [statistics.median(measured(startup.get(("shown", name), [0, 0])))
                 for name in ("Setup.exe", "floor.exe", "floor_nopause.exe")]
        print("start-up, process start to the notice visible and answering (median of %d runs each;"
              " first shown at %.1f, %.1f and %.1f ms):" % ((len(setup),) + tuple(shown)))
        print("  Setup.exe           %7.1f ms  (min %.1f, max %.1f)" % (statistics.median(setup), min(setup),
                                                                      max(setup)))
        print("  floor               %7.1f ms  (min %.1f, max %.1f)" % (statistics.median(floor), min(floor),
                                                                      max(floor)))
        print("  floor without pause %7.1f ms" % statistics.median(bare))
        print("  ratio Setup/floor   %7.2f     (target at most %.2f: %s; ratio of the fastest runs %.2f)" % (
            ratio, STARTUP_TARGET, "met" if ratio <= STARTUP_TARGET else "NOT met", min(setup) / min(floor)))
        print("  design's sleeps     %7.1f ms  (floor minus floor without the %d ms focus pause: %.0f%% of"
              " Setup.exe's start-up; run-to-run spread of the floor %.1f ms)" % (
                  pause, PAUSE_MS, 100.0 * pause / statistics.median(setup), spread(floor)))
        codes = measured(startup.get(("exit", "floor.exe"), []))
        code = int(statistics.median(codes))
        print("  focus pauses taken  %d before the notice, %d while it runs, %d after it (floor, median run;"
              " the notice runs from its start to Cancel)" % (code % 10, code // 10 % 10, code // 100))
    else:
        status = 1
    print("size:")
    for name, path in (("Setup.exe", build.setup_exe), ("floor.exe", os.path.join(bench_dir, "floor.exe"))):
        print("  %-10s %6d bytes  static imports: %s" % (name, os.path.getsize(path), imports(path)))
    staged = measured(latency.get(("latency", "Setup.exe"), []))
    if staged:
        median = statistics.median(staged)
        print("latency, staging tool's exit to the outcome box (%d runs): median %.1f ms, worst %.1f ms "
              "(target median at most %d ms: %s; the launcher waits on the tool's handle)" % (
                  len(staged), median, max(staged), LATENCY_TARGET_MS,
                  "met" if median <= LATENCY_TARGET_MS else "NOT met"))
    else:
        status = 1
    alone = measured(quiet.get(("quiet", "Setup.exe"), []))
    if alone:
        median = statistics.median(alone)
        print("quiet mode, Setup.exe /quiet from start to exit less the staging tool's own lifetime (%d runs): "
              "median %.1f ms, worst %.1f ms (target median at most %d ms: %s)" % (
                  len(alone), median, max(alone), QUIET_TARGET_MS, "met" if median <= QUIET_TARGET_MS else "NOT met"))
    else:
        status = 1
    for error in errors:
        print("bench: " + error)
    return 1 if errors else status


if __name__ == "__main__":
    sys.exit(main())
