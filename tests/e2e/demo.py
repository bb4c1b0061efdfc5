#!/usr/bin/env python3
"""Shows the launcher at work on the sample package.

Lays out examples/package with Setup.exe in it under a short folder of its own
(/tmp/demo-XXXXXX, removed afterwards, so the launch folder stays far below the
launcher's 100-byte limit wherever the clone lies) and runs Setup.exe there
under Wine:

* with $DISPLAY set, on that display, for a person to watch and answer;
* otherwise on a private virtual display, where the UI driver walks through
  what the launcher does today and screenshots are saved under out/demo/.
"""

import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import launcher  # noqa: E402
import packages  # noqa: E402
import ui  # noqa: E402
import winenv  # noqa: E402

DEMO_DIR = os.path.join(winenv.REPO_ROOT, "out", "demo")
DEMO_PREFIX = os.path.join(winenv.REPO_ROOT, "build", "e2e", "demo-prefix")
PERSON_TIMEOUT = 600  # a person at the display gets this long per launch


class Walk:
    """The demo's state: environment, numbered screenshots, what was seen."""

    def __init__(self, env):
        self.env = env
        self.shots = []
        self.failed = False

    def screenshot(self, step):
        path = os.path.join(DEMO_DIR, "%02d-%s.png" % (len(self.shots) + 1, step))
        if self.env.screenshot(path):
            self.shots.append(path)

    def say(self, text):
        print("demo: " + text, flush=True)


def lay_out(env, parent):
    shutil.rmtree(DEMO_DIR, ignore_errors=True)
    valid = packages.lay_out_package(os.path.join(parent, "package"), env.setup_exe)
    no_ini = packages.lay_out_package(os.path.join(parent, "no-setup-file"), env.setup_exe, with_setup_file=False)
    return valid, no_ini


def show_box(walk, step, message):
    found = ui.report(walk.env, launcher.BOX_TIMEOUT_MS, exe="Setup.exe", text=message)
    for window in found.windows:
        walk.say("%s: box %r icon=%s buttons=%s" % (step, window["message"], window["icon"], window["buttons"]))
    walk.screenshot(step)
    if not found.windows:
        walk.say("%s: the expected box did not appear (%s)" % (step, found.describe()))
        walk.failed = True
    return found.done


def walk_virtual(walk, valid, no_ini):
    """The walk on the virtual display, driven by the UI driver."""
    env = walk.env
    walk.say("launching Setup.exe in %s" % valid)
    result = env.finish(env.spawn(["Setup.exe"], cwd=valid), launcher.START_TIMEOUT)
    walk.say("checks passed, launcher ended with exit code %s (the window stage comes later)" % result.returncode)
    walk.screenshot("after-valid-launch")
    walk.say("launching Setup.exe without its setup file")
    held = env.spawn(["Setup.exe"], cwd=no_ini)
    show_box(walk, "missing-setup-file", launcher.MSG_SETUP_FILE_MISSING)
    walk.say("launching a second copy while the first one's box is open")
    second = env.spawn(["Setup.exe"], cwd=valid)
    show_box(walk, "already-started", launcher.MSG_ALREADY_STARTED)
    ui.click(env, "OK", exe="Setup.exe", text=launcher.MSG_ALREADY_STARTED)
    walk.say("second copy ended with exit code %s" % env.finish(second, 10).returncode)
    ui.click(env, "OK", exe="Setup.exe", text=launcher.MSG_SETUP_FILE_MISSING)
    walk.say("first copy ended with exit code %s" % env.finish(held, 10).returncode)
    walk.screenshot("all-closed")


def walk_person(walk, valid, no_ini):
    """On the user's display: the person answers the boxes."""
    env = walk.env
    for folder, note in ((valid, "the sample package"), (no_ini, "a copy without its setup file")):
        walk.say("running Setup.exe from %s (%s); close any box it shows" % (folder, note))
        result = env.finish(env.spawn(["Setup.exe"], cwd=folder), PERSON_TIMEOUT)
        walk.say("ended with exit code %s%s" % (result.returncode, " (timed out)" if result.timed_out else ""))


def main():
    display = os.environ.get("DISPLAY") or None
    env = winenv.WineEnv(prefix=DEMO_PREFIX, display=display)
    walk = Walk(env)
    parent = tempfile.mkdtemp(prefix="demo-", dir="/tmp")
    try:
        env.start()
        valid, no_ini = lay_out(env, parent)
        if display:
            walk_person(walk, valid, no_ini)
        else:
            walk_virtual(walk, valid, no_ini)
    except winenv.EnvError as problem:
        print("demo: %s" % problem)
        return 1
    finally:
        env.close()
        shutil.rmtree(parent, ignore_errors=True)
    for path in walk.shots:
        print("demo: screenshot %s" % os.path.relpath(path, os.getcwd()))
    if not display:
        print("demo: screenshots are in %s" % DEMO_DIR)
    return 1 if walk.failed else 0


if __name__ == "__main__":
    started = time.monotonic()
    status = main()
    print("demo: %.1fs" % (time.monotonic() - started))
    sys.exit(status)
