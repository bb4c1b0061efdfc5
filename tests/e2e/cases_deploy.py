"""Unattended deployment under Wine: quiet mode shows no window of any kind and
tells its outcome by the full 32-bit exit code (read by run_probe.exe, a
Windows parent: wine64's own exit status keeps 8 bits) and in its log; the
command line's own boxes; a log in window mode."""

import contextlib
import glob
import json
import os
import re
import time

import packages
import ui
from brand import BRAND
from cases_install import (check_staging, inf_path, package, snapshot, staging_program, system_tool_replaced)
from launcher import DIALOG_CLASS, MESSAGE_BOX_CLASS, NOTICE_MARK, PRODUCT_TITLE, fits_screen
from suite import case
from winenv import windows_path

PROBE_TIMEOUT_MS = 30000
LOG_LINE = re.compile(r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\.\d{3} \[(\d+)\] (.*)$")
TEMP_LOG = BRAND["log_name"] + "_*.log"


class Launch:
    """Setup.exe started with arguments in folder from run_probe.exe (which
    stays in the build tree, so the package folder is left as it was), with the
    stand-in tools' log; what check_staging reads."""

    def __init__(self, ctx, row, folder, arguments, tools=None, cwd=None):
        self.ctx, self.row = ctx, row
        self.tools_log = ctx.folder(row + "-tools.log")
        command = [windows_path(os.path.join(folder, "Setup.exe"))] + arguments
        env = {"E2E_TOOL_LOG": windows_path(self.tools_log)}
        env.update({name: str(value) for name, value in (tools or {}).items()})
        self.process = ctx.env.spawn([ctx.env.tool("run_probe.exe"), "-1", str(PROBE_TIMEOUT_MS)] + command,
                                     cwd=cwd or folder, extra_env=env)

    def started(self):
        if not os.path.isfile(self.tools_log):
            return []
        with open(self.tools_log, encoding="utf-8", errors="replace") as handle:
            return [json.loads(line) for line in handle if line.strip()]


def exit_code(ctx, launch, what):
    """The launcher's exit code as run_probe saw it; None after a failure."""
    result = ctx.env.finish(launch.process, PROBE_TIMEOUT_MS / 1000 + 10)
    reports = [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]
    if not ctx.check(len(reports) == 1 and reports[0]["event"] == "exited", "%s: run_probe: %r %r"
                     % (what, reports, result)):
        return None
    return reports[0]["exit_code"]


def windows_while_running(ctx, launch):
    """Every visible window of Setup.exe seen while the launch runs."""
    seen = []
    while launch.process.poll() is None:
        seen += ui.list_windows(ctx.env, exe="Setup.exe").windows
        time.sleep(0.1)
    return seen


def log_texts(ctx, path, what, appended=False):
    """The texts of the log's lines, each checked for its time stamp, process
    id (one, unless runs were appended) and CRLF."""
    if not ctx.check(os.path.isfile(path), "%s: no log at %s" % (what, path)):
        return []
    with open(path, "rb") as handle:
        data = handle.read().decode("latin-1")
    ctx.check(data.endswith("\r\n") and "\n" not in data.replace("\r\n", ""), "%s: lines not ended by CRLF" % what)
    texts, processes = [], set()
    for line in data.split("\r\n")[:-1]:
        match = LOG_LINE.match(line)
        ctx.check(match, "%s: log line without its time and process id: %r" % (what, line))
        texts.append(match.group(2) if match else line)
        if match:
            processes.add(match.group(1))
    ctx.check(len(processes) <= 1 or appended, "%s: lines of several processes: %r" % (what, processes))
    return texts


def check_in_order(ctx, texts, expected, what):
    """Each expected text starts some line, in this order."""
    position = 0
    for text in expected:
        found = next((i for i in range(position, len(texts)) if texts[i].startswith(text)), None)
        if not ctx.check(found is not None, "%s: log lacks %r after line %d; log: %r" % (what, text, position, texts)):
            return
        position = found + 1


def temp_logs(ctx):
    """The launcher's logs in the user's temp folder (Wine 8: C:\\users\\<user>\\Temp)."""
    users = os.path.join(ctx.env.prefix, "drive_c", "users", "*")
    return set(glob.glob(os.path.join(users, "Temp", TEMP_LOG)) +
               glob.glob(os.path.join(users, "AppData", "Local", "Temp", TEMP_LOG)))


@case
def deploy_quiet_outcomes(ctx):
    header = ["%s %s" % (PRODUCT_TITLE, BRAND["version_text"]), "Command line: ", "Program: ", "Launch folder: ", "Windows version: ",
              "Real Windows version: ", "WOW64: %s" % ("yes" if ctx.env.bits == 32 else "no"), "Computer: ",
              "Account: ", "Elevated: ", "Mode: quiet"]
    rows = [
        # (row, files removed from the package, pnputil exit code, pnputil missing, exit code, log lines)
        ("staged", [], 0, False, 0,
         ["Staging command: \"%s\" -a \"" % staging_program(ctx), "pnputil.exe ended with exit code 0 (0x00000000)",
          "Not shown (quiet mode), information: Printer driver is ready", "Exit code 0: the driver is staged"]),
        ("restart", [], 3010, False, 3010,
         ["pnputil.exe ended with exit code 3010 (0x00000BC2)", "Exit code 3010: the driver is staged; a restart"]),
        ("staging-fails", [], 5, False, 1603,
         ["pnputil.exe ended with exit code 5 (0x00000005)", "Not shown (quiet mode), warning: The printer driver "
          "installation was aborted. ", "Exit code 1603: staging the driver failed"]),
        # Without the tool the shell shows no box of its own either.
        ("no-tool", [], 0, True, 1603, ["pnputil.exe could not be started", "Exit code 1603"]),
        ("missing-file", ["Driver\\x64\\VQ2200UI.DLL"], 0, False, 1620,
         ["Missing file: [FILELIST] FL2=Driver\\x64\\VQ2200UI.DLL",
          "Not shown (quiet mode), error: Driver\\x64\\VQ2200UI.DLL\\nMissing printer driver files.",
          "Exit code 1620: the package is invalid"]),
    ]
    for row, removed, code, no_tool, expected, lines in rows:
        folder = package(ctx, row)
        for name in removed:
            os.remove(os.path.join(folder, *name.split("\\")))
        before = snapshot(folder)
        log = ctx.folder(row + ".log")
        tool = system_tool_replaced(ctx, "pnputil.exe", None) if no_tool else contextlib.nullcontext()
        with tool:
            launch = Launch(ctx, row, folder, ["/quiet", "/log=" + windows_path(log)],
                            {"E2E_PNPUTIL_EXIT": code, "E2E_PNPUTIL_SLEEP_MS": 1000})
            seen = windows_while_running(ctx, launch)
            ctx.check_equal(exit_code(ctx, launch, row), expected, "%s: exit code" % row)
        ctx.check_equal(sorted(set(ui.summarize(seen))), [], "%s: windows shown" % row)
        check_in_order(ctx, log_texts(ctx, log, row), header + lines, row)
        ctx.check(snapshot(folder) == before, "%s: package folder changed" % row)
        if expected in (0, 3010):
            check_staging(launch, inf_path(folder))


@case
def deploy_quiet_temp_log(ctx):
    # Without /log quiet mode writes a new log in the temp folder, never in the package.
    folder = package(ctx, "temp")
    before_logs = temp_logs(ctx)
    launch = Launch(ctx, "temp", folder, ["/S"])
    ctx.check_equal(exit_code(ctx, launch, "temp"), 0, "temp: exit code")
    new = sorted(temp_logs(ctx) - before_logs)
    if ctx.check(len(new) == 1, "temp: new logs in the temp folder: %r" % new):
        check_in_order(ctx, log_texts(ctx, new[0], "temp"), ["Mode: quiet", "Exit code 0"], "temp")
        os.remove(new[0])


@case
def deploy_command_line_boxes(ctx):
    folder = package(ctx, "boxes")
    rows = [
        # (row, arguments, text the box starts with, icon, exit code)
        ("bad-switch", ["/bogus"], "Unknown command-line argument: /bogus\n\nSetup.exe [/quiet]", "error", 1639),
        ("help", ["/?"], "Setup.exe [/quiet] [/log=PATH] [/norestart]", "information", 0),
        ("log-unopenable", ["/log=Z:\\no\\such\\folder\\x.log"], "The log file cannot be opened", "error", 1622),
    ]
    for row, arguments, text, icon, expected in rows:
        launch = Launch(ctx, row, folder, arguments)
        found = ui.report(ctx.env, 10000, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, text=text.split("\n")[0])
        if ctx.check(found.done and found.windows, "%s: no box; %s" % (row, found.describe())):
            box = found.windows[0]
            ctx.check(box["message"].startswith(text), "%s: text %r" % (row, box["message"]))
            ctx.check_equal((box["caption"], box["icon"], box["owner"], box["buttons"]),
                            (PRODUCT_TITLE, icon, "0x0", ["OK"]), "%s: caption, icon, owner, buttons" % row)
            # The box sizes itself to its text (DrawText at the system font):
            # the usage fits a 768-pixel screen, title bar and all.
            ctx.check(fits_screen(box), "%s: box of %d x %d at (%d, %d) off a %d x %d screen"
                      % (row, box["width"], box["height"], box["x"], box["y"], box["screen_width"],
                         box["screen_height"]))
            ctx.note("%s: box %d x %d on a %d x %d screen" % (row, box["width"], box["height"], box["screen_width"],
                                                               box["screen_height"]))
            ui.click(ctx.env, "OK", exe="Setup.exe", class_name=MESSAGE_BOX_CLASS)
        ctx.check_equal(exit_code(ctx, launch, row), expected, "%s: exit code" % row)
    # Nothing else happened: no notice came and no log was written in the package.
    ctx.check_equal(sorted(os.listdir(folder)), sorted(os.listdir(packages.SAMPLE_PACKAGE) + ["Setup.exe"]),
                    "package files")


@case
def deploy_window_mode_log(ctx):
    folder = package(ctx, "window")
    log = ctx.folder("window.log")
    launch = Launch(ctx, "window", folder, ["/log", windows_path(log)])
    cancelled = ui.click(ctx.env, "CANCEL", exe="Setup.exe", class_name=DIALOG_CLASS, text=NOTICE_MARK)
    ctx.check(cancelled.done, "window: notice not answered; %s" % cancelled.describe())
    ctx.check_equal(exit_code(ctx, launch, "window"), 0, "window: exit code")
    check_in_order(ctx, log_texts(ctx, log, "window"),
                   ["Mode: window", "Setup file: ", "Notice: Cancel", "Exit code 0 (window mode)"], "window")


@case
def deploy_package_beside_setup_exe(ctx):
    # Started by its full path from another folder, as a scheduled task or a
    # start-up script starts it: quiet mode takes the package beside Setup.exe.
    folder = package(ctx, "beside")
    elsewhere = ctx.folder("elsewhere")
    os.mkdir(elsewhere)
    log = ctx.folder("beside.log")
    launch = Launch(ctx, "beside", folder, ["/quiet", "/log=" + windows_path(log)], cwd=elsewhere)
    ctx.check_equal(exit_code(ctx, launch, "beside"), 0, "beside: exit code")
    check_in_order(ctx, log_texts(ctx, log, "beside"),
                   ["Launch folder: %s (the folder of Setup.exe; the current folder %s has no Setup.INI)"
                    % (windows_path(folder), windows_path(elsewhere)), "Exit code 0"], "beside")
    check_staging(launch, inf_path(folder))


@case
def deploy_log_not_opened_leaves_a_trace(ctx):
    # A /log that cannot be opened: 1622 and nothing staged, as ever, but a new
    # temp log names the path and why.
    folder = package(ctx, "no-log")
    before_logs = temp_logs(ctx)
    launch = Launch(ctx, "no-log", folder, ["/quiet", "/log=C:\\NoSuchDir\\x.log"])
    ctx.check_equal(exit_code(ctx, launch, "no-log"), 1622, "no-log: exit code")
    ctx.check_equal(launch.started(), [], "no-log: tools started")
    new = sorted(temp_logs(ctx) - before_logs)
    if ctx.check(len(new) == 1, "no-log: new logs in the temp folder: %r" % new):
        check_in_order(ctx, log_texts(ctx, new[0], "no-log"),
                       ["Mode: quiet", "The log file cannot be opened: C:\\NoSuchDir\\x.log (C:\\NoSuchDir\\x.log): "
                        "error 3, ", "Exit code 1622"], "no-log")
        os.remove(new[0])
