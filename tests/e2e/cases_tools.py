"""The stand-in system tools on their own: pnputil.exe and rundll32.exe (the
Add Printer wizard) as installed in the prefix's system32.  Each records how it
was started, sleeps and exits as asked; the wizard can add a real printer.

They are started two ways: by wine64 directly (whose exit status keeps only the
low 8 bits of the exit code) and by run_probe.exe, a Windows parent that hands
over a show state and reads the full exit code, as the launcher will."""

import json
import os
import shutil

from suite import case
from winenv import windows_path

SYSTEM32 = "C:\\windows\\system32\\"
SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINNOACTIVE = 0, 1, 7
STARTF_USESHOWWINDOW = 0x1
STILL_ACTIVE = 259
ANY_SHOW = "any"  # wine64 itself hands its process a show state of its own choosing
PROBE_TIMEOUT_MS = 20000


def read_log(path):
    if not os.path.isfile(path):
        return []
    with open(path, encoding="utf-8", errors="replace") as handle:
        return [json.loads(line) for line in handle if line.strip()]


def tool_env(ctx, **values):
    """The E2E_* variables for one run, with a fresh log file."""
    log = ctx.folder("tool-%d.log" % len(os.listdir(ctx.scratch)))
    env = {"E2E_TOOL_LOG": windows_path(log)}
    env.update({name: str(value) for name, value in values.items()})
    return env, log


def probe(ctx, show, command_line, extra_env):
    """Runs command_line from run_probe.exe (copied away from the suite's own
    copies of the tools, so the search finds system32's).  Returns its report."""
    probe_exe = ctx.folder("run_probe.exe")
    if not os.path.isfile(probe_exe):
        shutil.copyfile(ctx.env.tool("run_probe.exe"), probe_exe)
    result = ctx.env.run_wine([probe_exe, str(show), str(PROBE_TIMEOUT_MS)] + command_line,
                              cwd=ctx.scratch, extra_env=extra_env, timeout=PROBE_TIMEOUT_MS / 1000 + 10)
    lines = [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]
    ctx.require(len(lines) == 1, "run_probe printed %r (%r)" % (result.stdout, result))
    return lines[0]


def check_log(ctx, what, log, tool, arguments, show):
    """The tool wrote one record: its name, its arguments, the show state and its own place."""
    records = read_log(log)
    if not ctx.check(len(records) == 1, "%s: expected one log record, got %r" % (what, records)):
        return
    record = records[0]
    ctx.check_equal(record["tool"], tool, "%s: tool" % what)
    ctx.check(record["command_line"].endswith(arguments), "%s: command line %r does not end with %r"
              % (what, record["command_line"], arguments))
    ctx.check_equal(record["module"].lower(), (SYSTEM32 + tool + ".exe").lower(), "%s: program run" % what)
    if show == ANY_SHOW:
        pass
    elif show is None:
        ctx.check_equal(record["uses_show_window"], False, "%s: STARTF_USESHOWWINDOW" % what)
    else:
        ctx.check_equal(record["startup_flags"], "0x%x" % STARTF_USESHOWWINDOW, "%s: dwFlags" % what)
        ctx.check_equal(record["show_window"], show, "%s: wShowWindow" % what)
    return record


def count_printers(ctx):
    result = ctx.env.run_wine([ctx.env.tool("printer_count.exe")])
    lines = [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]
    ctx.require(result.returncode == 0 and lines and lines[0]["ok"], "printer probe failed: %r %r"
                % (result, result.stdout))
    return lines[0]


@case(once=True)
def tool_pnputil(ctx):
    arguments = "/add-driver Z:\\pkg\\VQ2200.INF /install"
    rows = [
        # (row, show state handed over or None, exit code, sleep ms)
        ("hidden-259", SW_HIDE, STILL_ACTIVE, 700),
        ("normal-0", SW_SHOWNORMAL, 0, 0),
        ("no-show-state-5", None, 5, 0),
    ]
    for row, show, code, sleep in rows:
        env, log = tool_env(ctx, E2E_PNPUTIL_EXIT=code, E2E_PNPUTIL_SLEEP_MS=sleep)
        # The variables reach pnputil through run_probe: a grandchild of the wine64 call.
        report = probe(ctx, -1 if show is None else show, ["pnputil.exe"] + arguments.split(), env)
        ctx.check_equal(report["event"], "exited", "%s: end" % row)
        ctx.check_equal(report["exit_code"], code, "%s: exit code" % row)
        ctx.check(sleep <= report["milliseconds"] < sleep + 5000, "%s: ran %d ms, asked to sleep %d ms"
                  % (row, report["milliseconds"], sleep))
        check_log(ctx, row, log, "pnputil", arguments, show)
    # Started by wine64 itself, the exit status is the exit code's low 8 bits: 259 -> 3.
    env, log = tool_env(ctx, E2E_PNPUTIL_EXIT=STILL_ACTIVE)
    direct = ctx.env.run_wine(["pnputil.exe", "/enum-drivers"], cwd=ctx.scratch, extra_env=env)
    ctx.check_equal(direct.returncode, STILL_ACTIVE & 0xFF, "direct: wine64 exit status")
    check_log(ctx, "direct", log, "pnputil", "/enum-drivers", ANY_SHOW)


@case(once=True)
def tool_add_printer_wizard(ctx):
    arguments = "printui.dll,PrintUIEntry /il"
    before = count_printers(ctx)
    # The wizard closed without adding a printer, still running as far as the code says.
    env, log = tool_env(ctx, E2E_WIZARD_EXIT=STILL_ACTIVE, E2E_WIZARD_ADD_PRINTER=0)
    report = probe(ctx, SW_SHOWNORMAL, ["rundll32.exe"] + arguments.split(), env)
    ctx.check_equal(report["exit_code"], STILL_ACTIVE, "no printer: exit code")
    check_log(ctx, "no printer", log, "rundll32", arguments, SW_SHOWNORMAL)
    ctx.check_equal(count_printers(ctx)["count"], before["count"], "no printer: printer count")
    # The wizard adds a printer, which EnumPrintersA then counts.
    name = "E2E Wizard Printer %d" % before["count"]
    env, log = tool_env(ctx, E2E_WIZARD_ADD_PRINTER=1, E2E_WIZARD_PRINTER_NAME=name, E2E_WIZARD_SLEEP_MS=300)
    report = probe(ctx, SW_SHOWMINNOACTIVE, ["rundll32.exe"] + arguments.split(), env)
    ctx.check_equal(report["exit_code"], 0, "adds printer: exit code")
    ctx.check(report["milliseconds"] >= 300, "adds printer: ran %d ms, asked to sleep 300" % report["milliseconds"])
    record = check_log(ctx, "adds printer", log, "rundll32", arguments, SW_SHOWMINNOACTIVE)
    if record:
        ctx.check_equal(record["note"], "added printer " + name, "adds printer: result")
    after = count_printers(ctx)
    ctx.check_equal(after["count"], before["count"] + 1, "adds printer: printer count")
    ctx.check(name in after["names"], "adds printer: %r not among %r" % (name, after["names"]))
    # Started by wine64 directly, the override makes Wine run our copy, not its own.
    env, log = tool_env(ctx, E2E_WIZARD_EXIT=7)
    direct = ctx.env.run_wine(["rundll32.exe"] + arguments.split(), cwd=ctx.scratch, extra_env=env)
    ctx.check_equal(direct.returncode, 7, "direct: wine64 exit status")
    check_log(ctx, "direct", log, "rundll32", arguments, ANY_SHOW)
