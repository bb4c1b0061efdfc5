#!/usr/bin/env python3
"""Runs the end-to-end cases: the real Setup.exe (win64 build) under Wine on a
private virtual display, driven by our UI driver.

    python3 tests/e2e/run.py [--case NAME ...] [--keep] [--list]

Build first: cmake --preset win64 && cmake --build --preset win64
Screenshots of failing cases (of every case with --keep) are kept under out/e2e/.
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import cases_startup  # noqa: E402,F401  (registers its cases)
import cases_tools  # noqa: E402,F401
import suite  # noqa: E402
import winenv  # noqa: E402


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--case", action="append", default=[], help="run only this case (repeatable)")
    parser.add_argument("--keep", action="store_true", help="keep screenshots and scratch folders of passing cases")
    parser.add_argument("--list", action="store_true", help="list the cases and exit")
    parser.add_argument("--tools", default=os.environ.get("E2E_TOOLS_DIR", winenv.DEFAULT_TOOLS_DIR),
                        help="folder with uidriver.exe and the stand-in tools")
    parser.add_argument("--setup", default=winenv.DEFAULT_SETUP_EXE, help="the Setup.exe to test")
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
    env = winenv.WineEnv(setup_exe=arguments.setup, tools_dir=arguments.tools)
    try:
        env.start()
        print("e2e: prefix ready on display %s in %.1fs" % (env.display, time.monotonic() - started), flush=True)
        passed, failed, skipped = suite.run_cases(env, selected, keep=arguments.keep,
                                                  log=lambda line: print(line, flush=True))
    except winenv.EnvError as problem:
        print("e2e: environment failed: %s" % problem, flush=True)
        passed, failed, skipped = 0, len(selected), 0
    finally:
        env.close()
    print("e2e: time %.1fs" % (time.monotonic() - started))
    summary = "e2e: %d passed, %d failed" % (passed, failed)
    print(summary + (", %d skipped" % skipped if skipped else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
