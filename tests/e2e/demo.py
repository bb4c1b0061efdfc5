#!/usr/bin/env python3
"""Shows the launcher at work on the sample package.

Lays out examples/package with Setup.exe in it under a short folder of its own
(/tmp/demo-XXXXXX, removed afterwards, so the launch folder stays far below the
launcher's 100-byte limit wherever the clone lies) and runs Setup.exe there
under Wine:

* with $DISPLAY set, on that display, for a person to watch and answer;
* otherwise on a private virtual display, where the UI driver walks through
  what the launcher does today (the notice, the page, the quit question with
  No and then Yes, and two refusals) and screenshots are saved under out/demo/.

It runs the shipped 32-bit build where the machine runs it (see builds.py),
else the 64-bit build.
"""

import os
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import builds  # noqa: E402
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


def show_box(walk, step, message, class_name=launcher.MESSAGE_BOX_CLASS):
    """Waits for the window of class_name showing message; says what it shows."""
    found = ui.report(walk.env, launcher.BOX_TIMEOUT_MS, exe="Setup.exe", class_name=class_name, text=message)
    for window in found.windows:
        shown = " %r" % window["message"] if window["message"] and class_name != launcher.FRAME_CLASS else ""
        walk.say("%s: %r%s buttons=%s" % (step, window["caption"], shown, window["buttons"]))
    walk.screenshot(step)
    if not found.windows:
        walk.say("%s: the expected window did not appear (%s)" % (step, found.describe()))
        walk.failed = True
    return found.windows[0] if found.windows else None


def act(walk, what, result):
    if not result.done:
        walk.say("%s: could not be done (%s)" % (what, result.describe()))
        walk.failed = True


def ended(walk, process, what):
    result = walk.env.finish(process, 10)
    walk.say("%s: the launcher ended with exit code %s%s" % (what, result.returncode,
                                                             " (timed out)" if result.timed_out else ""))
    if result.timed_out or result.returncode != 0:
        walk.failed = True


def walk_window_stage(walk, valid):
    """The notice, the page, the quit question answered No and then Yes."""
    env = walk.env
    frame = dict(exe="Setup.exe", class_name=launcher.FRAME_CLASS)
    quit_box = dict(exe="Setup.exe", class_name=launcher.MESSAGE_BOX_CLASS, text=launcher.MSG_QUIT)
    walk.say("launching Setup.exe in %s" % valid)
    process = env.spawn(["Setup.exe"], cwd=valid)
    show_box(walk, "notice", launcher.NOTICE_MARK, launcher.DIALOG_CLASS)
    walk.say("OK on the notice")
    act(walk, "OK", ui.click(env, "OK", exe="Setup.exe", class_name=launcher.DIALOG_CLASS, text=launcher.NOTICE_MARK))
    show_box(walk, "page", launcher.PAGE_INSTRUCTION, launcher.FRAME_CLASS)
    walk.say("ticking \"Use a network port\"")
    act(walk, "tick", ui.click(env, "Use a network port", **frame))
    show_box(walk, "page-network-port-ticked", launcher.PAGE_INSTRUCTION, launcher.FRAME_CLASS)
    walk.say("CANCEL on the page asks first")
    act(walk, "CANCEL", ui.click(env, "CANCEL", **frame))
    show_box(walk, "quit-question", launcher.MSG_QUIT)
    walk.say("No: the launcher goes on")
    act(walk, "No", ui.click(env, "No", **quit_box))
    act(walk, "question closed", ui.gone(env, launcher.BOX_TIMEOUT_MS, **quit_box))
    show_box(walk, "page-after-no", launcher.PAGE_INSTRUCTION, launcher.FRAME_CLASS)
    walk.say("the close box asks the same question")
    act(walk, "close box", ui.syscommand(env, launcher.SC_CLOSE, **frame))
    show_box(walk, "quit-question-close-box", launcher.MSG_QUIT)
    walk.say("Yes: the launcher ends")
    act(walk, "Yes", ui.click(env, "Yes", **quit_box))
    ended(walk, process, "after Yes")


def walk_virtual(walk, valid, no_ini):
    """The walk on the virtual display, driven by the UI driver."""
    env = walk.env
    walk_window_stage(walk, valid)
    walk.say("launching Setup.exe without its setup file")
    held = env.spawn(["Setup.exe"], cwd=no_ini)
    show_box(walk, "missing-setup-file", launcher.MSG_SETUP_FILE_MISSING)
    walk.say("launching a second copy while the first one's box is open")
    second = env.spawn(["Setup.exe"], cwd=valid)
    show_box(walk, "already-started", launcher.MSG_ALREADY_STARTED)
    act(walk, "OK", ui.click(env, "OK", exe="Setup.exe", text=launcher.MSG_ALREADY_STARTED))
    ended(walk, second, "second copy")
    act(walk, "OK", ui.click(env, "OK", exe="Setup.exe", text=launcher.MSG_SETUP_FILE_MISSING))
    ended(walk, held, "first copy")
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
    build = builds.choose_builds()[0]
    print("demo: %s: %s" % (os.path.relpath(build.setup_exe, winenv.REPO_ROOT), build.note), flush=True)
    env = winenv.WineEnv(setup_exe=build.setup_exe, driver_dir=build.driver_dir, prefix=DEMO_PREFIX,
                         display=display, wow64=build.bits == 32)
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
