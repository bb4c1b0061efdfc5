#!/usr/bin/env python3
"""Shows the launcher at work on the sample package.

Lays out examples/package with Setup.exe in it under a short folder of its own
(/tmp/demo-XXXXXX, removed afterwards, so the launch folder stays far below the
launcher's 100-byte limit wherever the clone lies) and runs Setup.exe there
under Wine:

* with $DISPLAY set, on that display, for a person to watch and answer;
* otherwise on a private virtual display, where the UI driver walks through
  the whole job: the notice, the page and the quit question (No, then Yes);
  OK without the network option (staging, the "ready" box); OK with it (the
  network notice, staging, the Add Printer wizard, the "completed" box); and
  two refusals.  A screenshot of the screen at every window is saved under
  out/demo/, and a picture of the window alone under out/demo/windows/.

Either way it then installs quietly, as a deployment tool would
(Setup.exe /quiet /log=...): no window, the exit code, and the log printed;
then adds a network printer the same way (Setup.exe /quiet /printer=...
/port=...) through Wine's own spooler and the suite's stand-in "Standard
TCP/IP Port" monitor, prints its log and what the spooler lists, and removes
it again (Setup.exe /quiet /uninstall /printer=...).  Wine cannot install a
driver from the driver store, so the demo lends the spooler the sample's
driver first, as the suite does.

The system tools are the suite's stand-ins, in the prefix's 64-bit system32:
pnputil.exe stages nothing and ends with 0 after a second; the wizard
(rundll32.exe) shows an empty "Add Printer" window, adds a printer on the FILE:
port of Wine's PostScript driver and ends with 0 once its window is closed.
What they were started with is printed at the end.  The demo fails (exit code
1) when an expected window does not appear or a launch does not end with 0.

It runs the shipped 32-bit build where the machine runs it (see builds.py),
else the 64-bit build.
"""

import json
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
from cases_install import (MSG_COMPLETED, MSG_NETWORK_NOTICE, MSG_READY, NETWORK_PORT_LABEL,  # noqa: E402
                           IDC_NETWORK_PORT, WIZARD_CAPTION, read_records)

DEMO_DIR = os.path.join(winenv.REPO_ROOT, "out", "demo")
WINDOWS_DIR = os.path.join(DEMO_DIR, "windows")
DEMO_PREFIX = os.path.join(winenv.REPO_ROOT, "build", "e2e", "demo-prefix")
PERSON_TIMEOUT = 600  # a person at the display gets this long per launch
WIZARD_EXE = "rundll32.exe"
DEMO_PRINTER = "ZEMBRIX VQ-2200 Series (demo)"
DEMO_MODEL = "ZEMBRIX VQ-2200 Series"
DEMO_QUEUE = "Floor 2 VQ (demo)"
# How the stand-ins behave in the demo (tests/e2e/tools): staging succeeds after
# a second, the wizard shows its window and adds a printer.
TOOL_SETTINGS = {"E2E_PNPUTIL_EXIT": "0", "E2E_PNPUTIL_SLEEP_MS": "1000", "E2E_WIZARD_WINDOW": "1",
                 "E2E_WIZARD_ADD_PRINTER": "1", "E2E_WIZARD_PRINTER_NAME": DEMO_PRINTER, "E2E_WIZARD_EXIT": "0"}


class Walk:
    """The demo's state: environment, numbered screenshots, what was seen."""

    def __init__(self, env, tool_log):
        self.env = env
        self.tool_log = tool_log
        self.shots = []
        self.failed = False

    def screenshot(self, step, window=None):
        """The whole screen as out/demo/NN-step.png and, when window is given,
        that window alone as out/demo/windows/NN-step.png."""
        name = "%02d-%s.png" % (len(self.shots) + 1, step)
        path = os.path.join(DEMO_DIR, name)
        if self.env.screenshot(path):
            self.shots.append(path)
        if window is not None:
            rect = (window["x"], window["y"], window["width"], window["height"])
            self.env.screenshot(os.path.join(WINDOWS_DIR, name), rect)

    def spawn(self, folder):
        """Starts Setup.exe in folder with the stand-ins set up for the demo."""
        settings = dict(TOOL_SETTINGS, E2E_TOOL_LOG=winenv.windows_path(self.tool_log))
        return self.env.spawn(["Setup.exe"], cwd=folder, extra_env=settings)

    def say(self, text):
        print("demo: " + text, flush=True)


def lay_out(env, parent):
    shutil.rmtree(DEMO_DIR, ignore_errors=True)
    valid = packages.lay_out_package(os.path.join(parent, "package"), env.setup_exe)
    no_ini = packages.lay_out_package(os.path.join(parent, "no-setup-file"), env.setup_exe, with_setup_file=False)
    return valid, no_ini


def show_box(walk, step, message, class_name=launcher.MESSAGE_BOX_CLASS, exe="Setup.exe", caption=None):
    """Waits for the window of class_name showing message; says what it shows.
    Returns its report, or None (the demo failed) when it did not appear: the
    driver then lists the windows it saw instead."""
    found = ui.report(walk.env, launcher.BOX_TIMEOUT_MS, exe=exe, class_name=class_name, text=message,
                      caption=caption)
    window = found.windows[0] if found.done and found.windows else None
    if window is None:
        walk.screenshot(step + "-missing")
        walk.say("%s: the expected window did not appear (%s)" % (step, found.describe()))
        walk.failed = True
        return None
    shown = " %r" % window["message"] if window["message"] and class_name != launcher.FRAME_CLASS else ""
    walk.say("%s: %r%s buttons=%s" % (step, window["caption"], shown, window["buttons"]))
    walk.screenshot(step, window)
    return window


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
    process = walk.spawn(valid)
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


def first_line(text):
    """The first line of a box's text: what the UI driver looks for."""
    return text.strip().split("\n")[0]


def wait_for_tick(walk, timeout=5):
    """The click is posted: reads the page until its box shows the tick (bounded)."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = ui.report(walk.env, 2000, exe="Setup.exe", class_name=launcher.FRAME_CLASS)
        if any(control["id"] == IDC_NETWORK_PORT and control["checked"] == 1
               for window in found.windows for control in window["controls"]):
            return True
    walk.say("the network option did not show its tick")
    walk.failed = True
    return False


def close_box(walk, message):
    act(walk, "OK", ui.click(walk.env, "OK", exe="Setup.exe", class_name=launcher.MESSAGE_BOX_CLASS,
                             text=first_line(message)))


def walk_installation(walk, valid, network):
    """OK on the page: staging and the "ready" box; with the network option the
    network notice first, then staging, the wizard and the "completed" box."""
    env = walk.env
    frame = dict(exe="Setup.exe", class_name=launcher.FRAME_CLASS)
    tag = "wizard" if network else "staging"
    walk.say("launching Setup.exe in %s%s" % (valid, " (with the network option)" if network else ""))
    process = walk.spawn(valid)
    if show_box(walk, "%s-notice" % tag, launcher.NOTICE_MARK, launcher.DIALOG_CLASS) is None:
        ended(walk, process, tag)
        return
    act(walk, "OK", ui.click(env, "OK", exe="Setup.exe", class_name=launcher.DIALOG_CLASS, text=launcher.NOTICE_MARK))
    show_box(walk, "%s-page" % tag, launcher.PAGE_INSTRUCTION, launcher.FRAME_CLASS)
    if network:
        walk.say("ticking \"%s\"" % NETWORK_PORT_LABEL)
        act(walk, "tick", ui.click(env, NETWORK_PORT_LABEL, **frame))
        wait_for_tick(walk)
    walk.say("OK on the page: the package is checked and the driver staged (stand-in pnputil.exe)")
    act(walk, "OK", ui.click(env, "OK", **frame))
    if network:
        if show_box(walk, "network-notice", first_line(MSG_NETWORK_NOTICE)):
            walk.say("OK on the network notice: staging, then the Add Printer wizard (stand-in rundll32.exe)")
            close_box(walk, MSG_NETWORK_NOTICE)
        if show_box(walk, "add-printer-wizard", None, class_name=None, exe=WIZARD_EXE, caption=WIZARD_CAPTION):
            walk.say("closing the wizard: it has added the printer %r" % DEMO_PRINTER)
            act(walk, "close wizard", ui.syscommand(env, launcher.SC_CLOSE, exe=WIZARD_EXE, caption=WIZARD_CAPTION))
        outcome, step = MSG_COMPLETED, "completed"
    else:
        outcome, step = MSG_READY, "ready"
    if show_box(walk, step, first_line(outcome)):
        walk.say("OK on the outcome box: the launcher ends")
        close_box(walk, outcome)
    ended(walk, process, step)


def walk_quiet(walk, valid):
    """A quiet install with a log under Wine set to Windows 10 (the log shows
    the version the query reports and the one Windows really is)."""
    walk.say("quiet install, Wine set to Windows 10")
    walk.env.set_windows_version("win10")
    try:
        run_quiet(walk, valid, ["/quiet"], os.path.join(os.path.dirname(walk.tool_log), "quiet.log"))
    finally:
        walk.env.set_windows_version(None)


def run_quiet(walk, valid, arguments, log):
    """Setup.exe with arguments and /log=log, started by a Windows parent that
    reports the full exit code; prints the code and the log; returns the code."""
    command = [walk.env.tool("run_probe.exe"), "-1", "30000", winenv.windows_path(os.path.join(valid, "Setup.exe"))]
    command += arguments + ["/log=" + winenv.windows_path(log)]
    walk.say("Setup.exe " + " ".join(arguments))
    settings = dict(TOOL_SETTINGS, E2E_TOOL_LOG=winenv.windows_path(walk.tool_log))
    result = walk.env.run_wine(command, cwd=valid, extra_env=settings, timeout=40)
    reports = [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]
    code = reports[0].get("exit_code") if reports and reports[0].get("event") == "exited" else None
    walk.say("exit code %s" % code)
    if code != 0:
        walk.failed = True
    if os.path.isfile(log):
        with open(log, encoding="latin-1") as handle:
            for line in handle.read().splitlines():
                walk.say("  log: " + line)
    return code


def spooler(walk, *args):
    """spooler_probe.exe's JSON lines for args."""
    result = walk.env.run_wine([walk.env.tool(winenv.SPOOLER_PROBE)] + list(args), cwd=walk.env.prefix)
    return [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]


def walk_network_printer(walk, valid):
    """A network printer added with nobody at the screen, shown in the
    spooler, and removed again."""
    parent = os.path.dirname(walk.tool_log)
    for environment in ("Windows x64", "Windows NT x86"):
        spooler(walk, "seed-driver", DEMO_MODEL, environment)
    try:
        run_quiet(walk, valid, ["/quiet", '/printer="%s"' % DEMO_QUEUE, "/port=10.0.0.5"],
                  os.path.join(parent, "printer.log"))
        for line in spooler(walk, "list"):
            if line.get("event") == "printers":
                for printer in line["printers"]:
                    if printer["name"] == DEMO_QUEUE:
                        walk.say("the spooler lists %(name)s on %(port)s with %(driver)s" % printer)
        run_quiet(walk, valid, ["/quiet", "/uninstall", '/printer="%s"' % DEMO_QUEUE],
                  os.path.join(parent, "printer-removal.log"))
    finally:
        spooler(walk, "delete-printer", DEMO_QUEUE)
        spooler(walk, "delete-port", "IP_10.0.0.5")
        for environment in ("Windows x64", "Windows NT x86"):
            spooler(walk, "delete-driver", DEMO_MODEL, environment)


def say_tools(walk):
    """What the stand-ins were started with, from their log."""
    for record in read_records(walk.tool_log):
        note = " (%s)" % record["note"] if record.get("note") else ""
        walk.say("%s was started as %s%s" % (record["module"], record["command_line"], note))


def walk_virtual(walk, valid, no_ini):
    """The walk on the virtual display, driven by the UI driver."""
    env = walk.env
    walk_window_stage(walk, valid)
    walk_installation(walk, valid, network=False)
    walk_installation(walk, valid, network=True)
    walk.say("launching Setup.exe without its setup file")
    held = walk.spawn(no_ini)
    show_box(walk, "missing-setup-file", launcher.MSG_SETUP_FILE_MISSING)
    walk.say("launching a second copy while the first one's box is open")
    second = walk.spawn(valid)
    show_box(walk, "already-started", launcher.MSG_ALREADY_STARTED)
    act(walk, "OK", ui.click(env, "OK", exe="Setup.exe", text=launcher.MSG_ALREADY_STARTED))
    ended(walk, second, "second copy")
    act(walk, "OK", ui.click(env, "OK", exe="Setup.exe", text=launcher.MSG_SETUP_FILE_MISSING))
    ended(walk, held, "first copy")
    walk.screenshot("all-closed")


def walk_person(walk, valid, no_ini):
    """On the user's display: the person answers the boxes."""
    env = walk.env
    runs = ((valid, "the sample package: OK on the notice and on the page stages the driver"),
            (valid, "the sample package again: tick \"%s\" before OK for the Add Printer wizard; "
                    "close its window to finish" % NETWORK_PORT_LABEL),
            (no_ini, "a copy without its setup file"))
    for folder, note in runs:
        walk.say("running Setup.exe from %s (%s); answer what it shows" % (folder, note))
        result = env.finish(walk.spawn(folder), PERSON_TIMEOUT)
        walk.say("ended with exit code %s%s" % (result.returncode, " (timed out)" if result.timed_out else ""))


def main():
    display = os.environ.get("DISPLAY") or None
    build = builds.choose_builds()[0]
    print("demo: %s: %s" % (os.path.relpath(build.setup_exe, winenv.REPO_ROOT), build.note), flush=True)
    env = winenv.WineEnv(setup_exe=build.setup_exe, driver_dir=build.driver_dir, prefix=DEMO_PREFIX,
                         display=display, wow64=build.bits == 32)
    parent = tempfile.mkdtemp(prefix="demo-", dir="/tmp")
    walk = Walk(env, os.path.join(parent, "tools.log"))
    try:
        env.start()
        valid, no_ini = lay_out(env, parent)
        if display:
            walk_person(walk, valid, no_ini)
        else:
            walk_virtual(walk, valid, no_ini)
        walk_quiet(walk, valid)
        walk_network_printer(walk, valid)
        say_tools(walk)
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
