"""The installation under Wine: OK on the page, the package check, the staging
command (stand-in pnputil.exe) and the Add Printer wizard (stand-in
rundll32.exe), every outcome Wine can produce, with the real Setup.exe.

The stand-ins are only in the prefix's 64-bit system32: a 32-bit launcher
finds them only through the Sysnative alias (syswow64 holds no pnputil.exe,
and only Wine's own rundll32.exe, which writes no log), so every row where a
stand-in logs its start proves the launcher reaches the 64-bit tools.

Each row checks the boxes in order (text, caption, icon, owner), the command
line and show state each stand-in received, the debug trace lines (Wine writes
OutputDebugStringA to stderr under WINEDEBUG=warn+debugstr), exit code 0, and
that the package folder is byte-identical afterwards.

Owners: Wine, like Windows, makes a box's owner the top-level window of the
window passed in, so a box the flow opens on the page shows the main frame
window as its owner from outside.  The owner the launcher passes (the page, or
none for the manifest check) and the box's flags are read inside its process
by the test's message box spy (hook/message_box_spy.h)."""

import contextlib
import hashlib
import json
import os
import re
import shutil
import time

import packages
import ui
from launcher import (EXIT_AFTER_BOX_TIMEOUT, FRAME_CLASS, MESSAGE_BOX_CLASS, MSG_SETUP_FILE_MISSING, NOTICE_MARK,
                      PRODUCT_TITLE, SC_CLOSE, fits_screen, page_of)
from suite import Skip, case
from winenv import windows_path

NETWORK_PORT_LABEL = "Use a network port"
IDC_NETWORK_PORT = 4010
SW_HIDE = 0
STARTF_USESHOWWINDOW = 0x1

MSG_NETWORK_NOTICE = ("\"Use a network port\" is selected.\n"
                      "Use the Add Printer Wizard to set up the printer driver.\n"
                      "Select the port in the \"Printer selection\" of the installation wizard.\n"
                      "When the port is not ready, select the temporary port like \"LPT1:\".\n")
MSG_ABORTED = "The printer driver installation was aborted. "
MSG_READY = ("Printer driver is ready for installation.\n"
             "Connect the printer to your PC and turn on the printer power.\n\nClick the OK button.")
MSG_READY_RESTART = ("Printer driver is ready for installation.\n"
                     "Restart the PC, then connect the printer to your PC and turn on the printer power.\n\n"
                     "Click the OK button.")
MSG_COMPLETED = ("Printer driver installation has been completed.\n"
                 "When the temporary port like \"LPT1:\" is selected, change the port setting of property of "
                 "Printer later.\n\nClick the OK button.")
MSG_LAUNCH_FAILED = "The printer driver installer could not be started (error %d).\nExit the program."
MSG_FILES_MISSING = "%s\nMissing printer driver files.\nExit the program."
# What Wine's ShellExecuteExA shows itself, owned by the launcher's frame, when
# the program is missing or is no program.
WINE_ERROR_CAPTION = "Error"
WINE_NOT_FOUND_TEXT = "File not found.\r\n"
WINE_BAD_FORMAT_TEXT = "Bad EXE format for "
NOT_A_PROGRAM = b"not a program\r\n" * 10

WINDOWS_DIR = "C:\\windows"
WIZARD_COMMAND = WINDOWS_DIR + "\\SYSTEM32\\rundll32.exe printui.dll,PrintUIEntry /il"
SYSTEM32_TOOL = "c:\\windows\\system32\\%s.exe"
WIZARD_CAPTION = "Add Printer"

TRACE_LINE = re.compile(r'warn:debugstr:OutputDebugStringA "(.*)"\s*$')
BOX_TIMEOUT_MS = 15000  # a box may come after a stand-in's sleep
TOOL_START_TIMEOUT = 10
SLEEP_MS = 1500  # long enough that a launcher not waiting would show its box first
NO_BOX_MS = 300
ALIVE_MS = 5000  # a tool running long enough for Windows to call a frozen window hung
PINGS = 3  # hang checks while it runs, PING_PAUSE seconds apart
PING_PAUSE = 1.0


# --- one launch -------------------------------------------------------------

# MessageBoxA flags of each kind: MB_SETFOREGROUND, the icon, one OK button.
KIND_FLAGS = {"information": 0x10040, "warning": 0x10030, "error": 0x10010}


class Box:
    """An expected box: its text, icon kind (None: not checked), owner ("page"
    or "none") and caption.  One with another caption is Wine's own, not the
    launcher's."""

    def __init__(self, text, icon, owner="page", caption=PRODUCT_TITLE):
        self.text, self.icon, self.owner, self.caption = text, icon, owner, caption
        self.ours = caption == PRODUCT_TITLE


def snapshot(folder):
    """{relative path: sha256} of every file, and the set of folders, under folder."""
    files, folders = {}, set()
    for root, dirs, names in os.walk(folder):
        folders.update(os.path.relpath(os.path.join(root, name), folder) for name in dirs)
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as handle:
                files[os.path.relpath(path, folder)] = hashlib.sha256(handle.read()).hexdigest()
    return files, folders


def read_records(path):
    if not os.path.isfile(path):
        return []
    with open(path, encoding="utf-8", errors="replace") as handle:
        return [json.loads(line) for line in handle if line.strip()]


class Launch:
    """One run of Setup.exe in a package folder, with the stand-ins' logs."""

    def __init__(self, ctx, row, folder, tools=None):
        self.ctx, self.row, self.folder = ctx, row, folder
        self.start_log = ctx.folder(row + "-start.log")
        self.exit_log = ctx.folder(row + "-exit.log")
        self.spy_log = ctx.folder(row + "-boxes.log")
        env = {"WINEDEBUG": "warn+debugstr", "E2E_TOOL_LOG": windows_path(self.start_log),
               "E2E_TOOL_EXIT_LOG": windows_path(self.exit_log), "E2E_BOX_SPY_LOG": windows_path(self.spy_log)}
        env.update({name: str(value) for name, value in (tools or {}).items()})
        self.before = snapshot(folder)
        self.process = ctx.env.spawn(["Setup.exe"], cwd=folder, extra_env=env)
        self.frame = self.page = None
        self.shown = []  # the boxes expected so far, in order

    def confirm_page(self, network, before_ok=None):
        """Passes the notice, puts the message box spy in, ticks the network box
        when asked, presses OK.  before_ok() runs just before OK.  Ends the
        case when a step cannot be done."""
        ctx, row = self.ctx, self.row
        notice = ui.click(ctx.env, "OK", exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, text=NOTICE_MARK)
        ctx.require(notice.done, "%s: notice not passed; %s" % (row, notice.describe()))
        frame = ui.report(ctx.env, exe="Setup.exe", class_name=FRAME_CLASS)
        ctx.require(frame.done and frame.windows, "%s: no page; %s" % (row, frame.describe()))
        self.frame = frame.windows[0]["hwnd"]
        page = page_of(frame.windows[0])
        ctx.require(page is not None, "%s: no page in the frame" % row)
        self.page = page["hwnd"]
        spy = ui.drive(ctx.env, "boxspy", exe="Setup.exe", class_name=FRAME_CLASS)
        ctx.require(spy.done, "%s: message box spy not installed; %s" % (row, spy.describe()))
        if network:
            ticked = ui.click(ctx.env, NETWORK_PORT_LABEL, exe="Setup.exe", class_name=FRAME_CLASS)
            ctx.require(ticked.done, "%s: network box not clicked; %s" % (row, ticked.describe()))
            ctx.require(self.wait_for_tick(), "%s: network box not ticked" % row)
        if before_ok:
            before_ok()
        pressed = ui.click(ctx.env, "OK", exe="Setup.exe", class_name=FRAME_CLASS)
        ctx.require(pressed.done, "%s: OK not pressed; %s" % (row, pressed.describe()))

    def wait_for_tick(self, timeout=5):
        """The click is posted: read the box until it shows the tick (bounded)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = ui.report(self.ctx.env, 2000, exe="Setup.exe", class_name=FRAME_CLASS)
            boxes = [control for window in found.windows for control in window["controls"]
                     if control["id"] == IDC_NETWORK_PORT]
            if boxes and boxes[0]["checked"] == 1:
                return True
        return False

    def expect_boxes(self, boxes):
        """Each box in turn: shown as expected, then closed with its OK button."""
        for box in boxes:
            self.shown.append(box)
            what = "%s box %d" % (self.row, len(self.shown))
            found = ui.report(self.ctx.env, BOX_TIMEOUT_MS, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS,
                              caption=box.caption, text=box.text.strip())
            if not self.ctx.check(found.done and found.windows, "%s: no box %r; %s"
                                  % (what, box.text, found.describe())):
                self.ctx.screenshot(what.replace(" ", "-"))
                return False
            self.check_box(what, found.windows[0], box)
            closed = ui.click(self.ctx.env, "OK", exe="Setup.exe", class_name=MESSAGE_BOX_CLASS,
                              caption=box.caption, text=box.text.strip())
            self.ctx.check(closed.done, "%s: not closed; %s" % (what, closed.describe()))
        return True

    def check_box(self, what, window, box):
        ctx = self.ctx
        ctx.check_equal(window["caption"], box.caption, "%s: caption" % what)
        ctx.check_equal(window["message"], box.text, "%s: text" % what)
        ctx.check_equal(window["buttons"], ["OK"], "%s: buttons" % what)
        if box.icon is not None:
            ctx.check_equal(window["icon"], box.icon, "%s: icon kind (pixel difference %s)"
                            % (what, window["icon_difference"]))
        # Seen from outside, a box owned by the page is owned by the frame.
        owner = "0x0" if box.owner == "none" else self.frame
        ctx.check_equal(window["owner"], owner, "%s: top-level owner" % what)
        ctx.check(fits_screen(window), "%s: not on screen" % what)

    def finish(self, traces):
        """Exit code 0 once the last box is closed, the trace lines, the package unchanged."""
        ctx, row = self.ctx, self.row
        result = ctx.env.finish(self.process, EXIT_AFTER_BOX_TIMEOUT)
        if ctx.check(not result.timed_out, "%s: still running %d s after its last box"
                     % (row, EXIT_AFTER_BOX_TIMEOUT)):
            ctx.check_equal(result.returncode, 0, "%s: exit code" % row)
        self.check_calls()
        lines = [match.group(1) for match in map(TRACE_LINE.search, result.stderr.splitlines()) if match]
        ctx.check_equal(lines, traces, "%s: debug trace lines" % row)
        after = snapshot(self.folder)
        ctx.check(after == self.before, "%s: package folder changed: %r" % (row, diff(self.before, after)))

    def check_calls(self):
        """The launcher's own MessageBoxA calls, read by the spy: owner, flags, text."""
        expected = [{"owner": self.page if box.owner == "page" else "0x0", "type": "0x%x" % KIND_FLAGS[box.icon],
                     "text": box.text} for box in self.shown if box.ours]
        self.ctx.check_equal(read_records(self.spy_log), expected, "%s: MessageBoxA calls" % self.row)

    def started(self):
        return read_records(self.start_log)

    def exited(self):
        return read_records(self.exit_log)

    def wait_for_start(self, tool):
        """Waits (bounded) until tool has logged its start."""
        deadline = time.monotonic() + TOOL_START_TIMEOUT
        while time.monotonic() < deadline:
            if any(record["tool"] == tool for record in self.started()):
                return True
            time.sleep(0.05)
        return False

    def no_box_now(self, what):
        """No box of the launcher is up (it is waiting for its child)."""
        result = ui.gone(self.ctx.env, NO_BOX_MS, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS)
        self.ctx.check(result.done, "%s: %s: a box is up while the tool runs; %s"
                       % (self.row, what, result.describe()))


def diff(before, after):
    (files_before, folders_before), (files_after, folders_after) = before, after
    changed = sorted(name for name in set(files_before) | set(files_after)
                     if files_before.get(name) != files_after.get(name))
    return {"files": changed, "folders": sorted(folders_before ^ folders_after)}


# --- what the stand-ins saw ---------------------------------------------------

def staging_program(ctx):
    """The staging tool as the launcher names it: a 32-bit launcher reaches the
    64-bit system32 through its Sysnative alias."""
    return WINDOWS_DIR + ("\\Sysnative" if ctx.env.bits == 32 else "\\SYSTEM32") + "\\pnputil.exe"


def check_staging(launch, inf_path):
    """pnputil ran once, hidden, from system32, with -a and the quoted INF path."""
    ctx, row = launch.ctx, launch.row
    records = [record for record in launch.started() if record["tool"] == "pnputil"]
    if not ctx.check(len(records) == 1, "%s: pnputil started %d times: %r" % (row, len(records), records)):
        return
    record = records[0]
    # Wine's shell puts the program in quotes, then the parameters as given.
    ctx.check_equal(record["command_line"], '"%s" -a "%s"' % (staging_program(ctx), inf_path),
                    "%s: pnputil command line" % row)
    ctx.check_equal(record["module"].lower(), SYSTEM32_TOOL % "pnputil", "%s: pnputil program" % row)
    ctx.check_equal(record["startup_flags"], "0x%x" % STARTF_USESHOWWINDOW, "%s: pnputil dwFlags" % row)
    ctx.check_equal(record["show_window"], SW_HIDE, "%s: pnputil show state (hidden)" % row)


def check_wizard(launch, started=True):
    ctx, row = launch.ctx, launch.row
    records = [record for record in launch.started() if record["tool"] == "rundll32"]
    if not started:
        ctx.check_equal(records, [], "%s: wizard started" % row)
        return None
    if not ctx.check(len(records) == 1, "%s: wizard started %d times: %r" % (row, len(records), records)):
        return None
    record = records[0]
    ctx.check_equal(record["command_line"], WIZARD_COMMAND, "%s: wizard command line" % row)
    ctx.check_equal(record["module"].lower(), SYSTEM32_TOOL % "rundll32", "%s: wizard program" % row)
    # Only the record size is set: the wizard shows its window as it chooses.
    ctx.check_equal(record["uses_show_window"], False, "%s: wizard STARTF_USESHOWWINDOW" % row)
    return record


def check_waited(launch, tool):
    """The outcome box was up only after tool had ended: its exit record is there."""
    exits = [record for record in launch.exited() if record["tool"] == tool]
    launch.ctx.check(exits, "%s: a box appeared before %s had ended" % (launch.row, tool))


# --- packages ----------------------------------------------------------------

def package(ctx, name, **layout):
    return packages.lay_out_package(ctx.folder(name), ctx.env.setup_exe, **layout)


def inf_path(folder, inf="VQ2200.INF"):
    return windows_path(folder) + "\\" + inf


# --- the cases ---------------------------------------------------------------

@case
def install_staging_outcomes(ctx):
    # Not ticked: the staging command alone.  Ticked: the network notice comes
    # first, and a failed staging never starts the wizard.
    rows = [
        # (row, network, pnputil exit code, sleep ms, boxes after OK, trace lines)
        ("staged", False, 0, SLEEP_MS, [Box(MSG_READY, "information")], []),
        ("exit-5", False, 5, 0, [Box(MSG_ABORTED, "warning")], ["ExitCode = 5"]),
        # A child that really ends with STILL_ACTIVE does not hang the launcher.
        ("exit-259", False, 259, SLEEP_MS, [Box(MSG_ABORTED, "warning")], ["ExitCode = 259"]),
        # The code is written as a signed number.  (The stand-in reads a
        # signed number: -1073741819 is 0xC0000005.)
        ("exit-c0000005", False, -1073741819, 0, [Box(MSG_ABORTED, "warning")], ["ExitCode = -1073741819"]),
        ("network-exit-5", True, 5, 0,
         [Box(MSG_NETWORK_NOTICE, "information"), Box(MSG_ABORTED, "warning")], ["ExitCode = 5"]),
        # The staging tool's own "staged, restart needed" codes: staged.
        ("exit-3010", False, 3010, 0, [Box(MSG_READY_RESTART, "information")], ["ExitCode = 3010"]),
        ("exit-1641", False, 1641, 0, [Box(MSG_READY_RESTART, "information")], ["ExitCode = 1641"]),
    ]
    for row, network, code, sleep_ms, boxes, traces in rows:
        folder = package(ctx, row)
        launch = Launch(ctx, row, folder, {"E2E_PNPUTIL_EXIT": code, "E2E_PNPUTIL_SLEEP_MS": sleep_ms})
        launch.confirm_page(network)
        if network:
            launch.expect_boxes(boxes[:1])
            boxes = boxes[1:]
        if sleep_ms:
            ctx.check(launch.wait_for_start("pnputil"), "%s: pnputil did not start" % row)
            launch.no_box_now("pnputil sleeping")
        if launch.expect_boxes(boxes) and sleep_ms:
            check_waited(launch, "pnputil")
        launch.finish(traces)
        check_staging(launch, inf_path(folder))
        check_wizard(launch, started=False)


@case
def install_restart_code_goes_on_to_the_wizard(ctx):
    # Staged with "restart needed", ticked: the wizard runs as after 0 (the
    # stand-in adds no printer, so the count is the same: aborted).
    folder = package(ctx, "network-exit-3010")
    launch = Launch(ctx, "network-exit-3010", folder, {"E2E_PNPUTIL_EXIT": 3010})
    launch.confirm_page(True)
    launch.expect_boxes([Box(MSG_NETWORK_NOTICE, "information"), Box(MSG_ABORTED, "warning")])
    launch.finish(["ExitCode = 3010"])
    check_staging(launch, inf_path(folder))
    check_wizard(launch)


@case
def install_staging_not_started(ctx):
    # Without a program Wine's ShellExecuteExA shows its own box and fails with
    # error 0, with pnputil.exe missing as with a file that is no program: the
    # launcher's own text names the failure and the code.
    ours = Box(MSG_LAUNCH_FAILED % 0, "error")
    rows = [
        # (row, network, what stands in system32 instead of pnputil.exe, Wine's text)
        ("missing", False, None, WINE_NOT_FOUND_TEXT),
        ("missing-ticked", True, None, WINE_NOT_FOUND_TEXT),
        ("no-program", False, NOT_A_PROGRAM, WINE_BAD_FORMAT_TEXT),
    ]
    for row, network, replacement, wine_text in rows:
        with system_tool_replaced(ctx, "pnputil.exe", replacement):
            folder = package(ctx, row)
            launch = Launch(ctx, row, folder)
            launch.confirm_page(network)
            notice = [Box(MSG_NETWORK_NOTICE, "information")] if network else []
            # Wine's own box is checked for its text and owner only: its icon is
            # Wine's affair (and at times covered by the launcher's raised frame).
            launch.expect_boxes(notice + [Box(wine_text, None, caption=WINE_ERROR_CAPTION), ours])
            launch.finish(["ShellExecuteEx FALSE = 0"])
            ctx.check_equal(launch.started(), [], "%s: tools started" % row)


@case
def install_wizard_not_started(ctx):
    # A wizard that cannot be started is an abort.
    with system_tool_replaced(ctx, "rundll32.exe", NOT_A_PROGRAM):
        folder = package(ctx, "no-program")
        launch = Launch(ctx, "no-program", folder)
        launch.confirm_page(True)
        launch.expect_boxes([Box(MSG_NETWORK_NOTICE, "information"), Box(MSG_ABORTED, "warning")])
        launch.finish([])
        check_staging(launch, inf_path(folder))
        check_wizard(launch, started=False)


@contextlib.contextmanager
def system_tool_replaced(ctx, name, replacement):
    """Runs the block with system32's name removed (replacement None) or
    holding the bytes replacement; puts the stand-in back afterwards."""
    stand_in = os.path.join(ctx.env.prefix, "drive_c", "windows", "system32", name)
    put_aside = ctx.folder(name + ".stand-in")
    shutil.move(stand_in, put_aside)
    try:
        if replacement is not None:
            with open(stand_in, "wb") as handle:
                handle.write(replacement)
        yield
    finally:
        if os.path.lexists(stand_in):
            os.remove(stand_in)
        shutil.move(put_aside, stand_in)


@case
def install_wizard_outcomes(ctx):
    name = "E2E %s %d" % (ctx.name, os.getpid())
    # A printer for the wizard to remove, added by the stand-in run directly.
    added = ctx.env.run_wine(["rundll32.exe", "printui.dll,PrintUIEntry", "/il"], cwd=ctx.scratch,
                             extra_env={"E2E_WIZARD_ADD_PRINTER": "1", "E2E_WIZARD_PRINTER_NAME": name + " old"})
    ctx.require(added.returncode == 0, "could not add the printer to remove: %r" % added)
    notice = Box(MSG_NETWORK_NOTICE, "information")
    rows = [
        # (row, wizard settings, outcome box, wizard's note)
        ("adds", {"E2E_WIZARD_ADD_PRINTER": 1, "E2E_WIZARD_PRINTER_NAME": name + " new"},
         Box(MSG_COMPLETED, "information"), "added printer %s new" % name),
        ("adds-none", {}, Box(MSG_ABORTED, "warning"), ""),
        # Fewer printers than before is a change too.
        ("removes", {"E2E_WIZARD_REMOVE_PRINTER": name + " old"},
         Box(MSG_COMPLETED, "information"), "removed printer %s old" % name),
        # A failed wizard is an abort, whatever it did.
        # A wizard that really ends with STILL_ACTIVE does not hang the launcher.
        ("exit-259", {"E2E_WIZARD_ADD_PRINTER": 1, "E2E_WIZARD_PRINTER_NAME": name + " 259", "E2E_WIZARD_EXIT": 259},
         Box(MSG_ABORTED, "warning"), "added printer %s 259" % name),
        ("exit-3", {"E2E_WIZARD_ADD_PRINTER": 1, "E2E_WIZARD_PRINTER_NAME": name + " failed", "E2E_WIZARD_EXIT": 3},
         Box(MSG_ABORTED, "warning"), "added printer %s failed" % name),
    ]
    for row, wizard, outcome, note in rows:
        folder = package(ctx, row)
        tools = dict(wizard, E2E_WIZARD_WINDOW=1)
        launch = Launch(ctx, row, folder, tools)
        launch.confirm_page(True)
        launch.expect_boxes([notice])
        # The wizard's window is up and the launcher waits for it.
        shown = ui.report(ctx.env, BOX_TIMEOUT_MS, exe="rundll32.exe", caption=WIZARD_CAPTION)
        if ctx.check(shown.done and shown.windows, "%s: no wizard window; %s" % (row, shown.describe())):
            launch.no_box_now("wizard open")
            closed = ui.syscommand(ctx.env, SC_CLOSE, exe="rundll32.exe", caption=WIZARD_CAPTION)
            ctx.check(closed.done, "%s: wizard not closed; %s" % (row, closed.describe()))
        if launch.expect_boxes([outcome]):
            check_waited(launch, "rundll32")
        launch.finish([])
        check_staging(launch, inf_path(folder))
        record = check_wizard(launch)
        if record:
            ctx.check_equal(record["note"], note, "%s: what the wizard did" % row)


@case
def install_windows_alive_while_tools_run(ctx):
    # Five seconds of staging, then of the wizard: meanwhile the frame answers
    # a hang check at once and stays enabled (so that Windows can activate it
    # again when the wizard closes), the page's OK, CANCEL and check box take
    # no input, a second OK starts nothing, and the outcome box follows as ever.
    name = "E2E %s %d" % (ctx.name, os.getpid())
    rows = [
        # (row, network, tool, stand-in settings, boxes after the wait)
        ("staging", False, "pnputil", {"E2E_PNPUTIL_SLEEP_MS": ALIVE_MS}, [Box(MSG_READY, "information")]),
        ("wizard", True, "rundll32", {"E2E_WIZARD_SLEEP_MS": ALIVE_MS, "E2E_WIZARD_ADD_PRINTER": 1,
                                      "E2E_WIZARD_PRINTER_NAME": name}, [Box(MSG_COMPLETED, "information")]),
    ]
    for row, network, tool, tools, boxes in rows:
        folder = package(ctx, row)
        launch = Launch(ctx, row, folder, tools)
        launch.confirm_page(network)
        if network:
            launch.expect_boxes([Box(MSG_NETWORK_NOTICE, "information")])
        ctx.require(launch.wait_for_start(tool), "%s: %s did not start" % (row, tool))
        for look in range(PINGS):
            answer, result = ui.ping(ctx.env, exe="Setup.exe", class_name=FRAME_CLASS)
            what = "%s: hang check %d" % (row, look + 1)
            if ctx.check(answer is not None, "%s: not sent; %s" % (what, result.describe())):
                ctx.check(answer["answered"], "%s: not answered: %r" % (what, answer))
                ctx.check(answer["milliseconds"] <= 1000, "%s: answered after %d ms" % (what, answer["milliseconds"]))
                ctx.check_equal(answer["enabled"], True, "%s: frame enabled" % what)
                ctx.note("%s: answered in %d ms, frame enabled: %s" % (what, answer["milliseconds"],
                                                                       answer["enabled"]))
            ctx.check_equal(page_controls_enabled(ctx), PAGE_CONTROLS_DISABLED, "%s: page controls enabled" % what)
            ctx.check(not [record for record in launch.exited() if record["tool"] == tool],
                      "%s: came only after %s had ended" % (what, tool))
            if look == 0:
                again = ui.click(ctx.env, "OK", exe="Setup.exe", class_name=FRAME_CLASS)
                ctx.check(again.done, "%s: second OK not pressed; %s" % (row, again.describe()))
            launch.no_box_now("%s running" % tool)
            time.sleep(PING_PAUSE)
        if launch.expect_boxes(boxes):
            check_waited(launch, tool)
        launch.finish([])
        check_staging(launch, inf_path(folder))
        check_wizard(launch, started=network)


IDC_PAGE_OK, IDCANCEL = 1276, 2
PAGE_CONTROLS_DISABLED = {IDC_PAGE_OK: False, IDCANCEL: False, IDC_NETWORK_PORT: False}


def page_controls_enabled(ctx):
    """{id: enabled} of the page's OK, CANCEL and network check box."""
    found = ui.report(ctx.env, 2000, exe="Setup.exe", class_name=FRAME_CLASS)
    return {control["id"]: control["enabled"] for window in found.windows for control in window["controls"]
            if control["id"] in PAGE_CONTROLS_DISABLED}


@case
def install_inf_paths(ctx):
    # The INF name goes in as read, after a backslash that is always added.
    subfolder = package(ctx, "subfolder", edits={("INFNAME", "INF0"): "Driver\\x64\\VQ2200.INF"})
    launch = Launch(ctx, "subfolder", subfolder)
    launch.confirm_page(False)
    launch.expect_boxes([Box(MSG_READY, "information")])
    launch.finish([])
    check_staging(launch, inf_path(subfolder, "Driver\\x64\\VQ2200.INF"))
    # A package at a drive root: "R:\" then the inserted backslash.
    drive, link = free_drive(ctx)
    root = package(ctx, "root")
    os.symlink(root, link)
    try:
        launch = Launch(ctx, "drive-root", root)
        launch.confirm_page(False)
        launch.expect_boxes([Box(MSG_READY, "information")])
        launch.finish([])
        check_staging(launch, drive + ":\\\\VQ2200.INF")
        records = launch.started()
        if records:
            ctx.check_equal(records[0]["current_folder"], drive + ":\\", "drive-root: launch folder")
    finally:
        os.remove(link)


def free_drive(ctx):
    """A drive letter with no mapping in the prefix, and its dosdevices link."""
    dosdevices = os.path.join(ctx.env.prefix, "dosdevices")
    for letter in "rstuvwxy":
        link = os.path.join(dosdevices, letter + ":")
        if not os.path.lexists(link):
            return letter.upper(), link
    raise Skip("no free drive letter in %s" % dosdevices)


@case
def install_manifest_failures(ctx):
    # The check runs before anything else: no network notice, no tool; its
    # boxes have no owner.
    missing = package(ctx, "missing")
    for listed in ("Driver\\x64\\VQ2200UI.DLL", "Driver\\VQ2200.GPD"):  # FL2 and FL4: FL2 is reported
        os.remove(os.path.join(missing, *listed.split("\\")))
    launch = Launch(ctx, "missing-file", missing)
    launch.confirm_page(True)
    launch.expect_boxes([Box(MSG_FILES_MISSING % "Driver\\x64\\VQ2200UI.DLL", "error", owner="none")])
    launch.finish([])
    ctx.check_equal(launch.started(), [], "missing-file: tools started")
    # The setup file is removed after the start-time check, before OK.
    removed = package(ctx, "removed")
    launch = Launch(ctx, "setup-file-removed", removed)
    setup_file = os.path.join(removed, packages.SAMPLE_SETUP_FILE)
    launch.confirm_page(False, before_ok=lambda: remove_setup_file(launch, setup_file))
    launch.expect_boxes([Box(MSG_SETUP_FILE_MISSING, "error", owner="none")])
    launch.finish([])
    ctx.check_equal(launch.started(), [], "setup-file-removed: tools started")


def remove_setup_file(launch, setup_file):
    os.remove(setup_file)
    launch.before = snapshot(launch.folder)
