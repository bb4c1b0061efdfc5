#!/usr/bin/env python3
"""Runs the end-to-end cases: the real Setup.exe under Wine on a private virtual
display, driven by our UI driver.

    python3 tests/e2e/run.py [--case NAME ...] [--build win32|win64 ...] [--keep] [--list]

The shipped 32-bit build runs as a WoW64 process of the 64-bit prefix where the
kernel runs i386 programs, then the 64-bit build runs the cases that start the
launcher; elsewhere the 64-bit build runs alone (see builds.py).  The output
says which.

The builds are those of build/, or of the folder E2E_BUILD_TREE names: a tree
configured with another brand file (tests/brand/run.py makes build/brand),
whose texts the cases then expect; the stand-in tools stay the default's.
A run beside the usual one takes its own prefix from E2E_PREFIX and the
suite's programs from the win64 and win32 builds of the folder E2E_TOOLS_TREE
names (see winenv.py); unset, build/e2e/prefix and build/.

Build first: bash scripts/build.sh win32 win64
Screenshots of failing cases (of every case with --keep) are kept under out/e2e/.
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import builds  # noqa: E402
import cases_startup  # noqa: E402,F401  (registers its cases)
import cases_install  # noqa: E402,F401
import cases_tools  # noqa: E402,F401
import cases_window  # noqa: E402,F401
import cases_dll_planting  # noqa: E402,F401
import cases_limits  # noqa: E402,F401
import cases_dbcs  # noqa: E402,F401
import cases_deploy  # noqa: E402,F401
import cases_check  # noqa: E402,F401
import cases_system_facts  # noqa: E402,F401
import cases_uninstall  # noqa: E402,F401
import cases_brand  # noqa: E402,F401
import cases_network_printer  # noqa: E402,F401
import suite  # noqa: E402
import winenv  # noqa: E402


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--case", action="append", default=[], help="run only this case (repeatable)")
    parser.add_argument("--keep", action="store_true", help="keep screenshots and scratch folders of passing cases")
    parser.add_argument("--list", action="store_true", help="list the cases and exit")
    parser.add_argument("--build", action="append", choices=("win32", "win64"), default=[],
                        help="run this build (repeatable); default: chosen by what the machine runs")
    return parser.parse_args()


def select_cases(names):
    known = {function.__name__: function for function in suite.CASES}
    unknown = [name for name in names if name not in known]
    if unknown:
        raise SystemExit("unknown case(s): %s; known: %s" % (", ".join(unknown), ", ".join(known)))
    return [known[name] for name in names] if names else list(suite.CASES)


def main():
    arguments = parse_arguments()
    if arguments.list:
        print("\n".join(function.__name__ for function in suite.CASES))
        return 0
    selected = select_cases(arguments.case)
    started = time.monotonic()
    chosen = [builds.named_build(name) for name in arguments.build] or builds.choose_builds()
    main_build = chosen[0]
    env = winenv.WineEnv(setup_exe=main_build.setup_exe, driver_dir=main_build.driver_dir,
                         wow64=any(build.bits == 32 for build in chosen))
    passed = failed = skipped = 0
    try:
        env.start()
        print("e2e: prefix ready on display %s in %.1fs" % (env.display, time.monotonic() - started), flush=True)
        for build in chosen:
            cases = [function for function in selected if build is main_build or not function.once]
            print("e2e: %s (%s): %s" % (build.name, os.path.relpath(build.setup_exe, winenv.REPO_ROOT),
                                        build.note), flush=True)
            env.use(build.setup_exe, build.driver_dir, build.bits)
            label = "" if build is main_build else "[%s]" % build.name
            counts = suite.run_cases(env, cases, keep=arguments.keep, label=label,
                                     log=lambda line: print(line, flush=True))
            passed, failed, skipped = passed + counts[0], failed + counts[1], skipped + counts[2]
    except winenv.EnvError as problem:
        print("e2e: environment failed: %s" % problem, flush=True)
        failed += 1
    finally:
        env.close()
    print("e2e: time %.1fs" % (time.monotonic() - started))
    summary = "e2e: %d passed, %d failed" % (passed, failed)
    print(summary + (", %d skipped" % skipped if skipped else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
