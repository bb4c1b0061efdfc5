"""The removal (Setup.exe /uninstall) under Wine, quiet and in window mode:
the stand-in pnputil keeps a driver store in the prefix's %windir%\\INF as
Windows does (-a publishes the INF as oem<N>.inf unless a copy is there, -d
removes one), so an install followed by a removal can be seen to leave the
INF folder as it was.  Every exit code of the removal's table, each with its
box in window mode (no owner), read by a Windows parent (run_probe.exe)."""

import os
import shutil

import ui
from cases_deploy import Launch, exit_code, log_texts, windows_while_running
from cases_install import package, snapshot
from launcher import MESSAGE_BOX_CLASS, MSG_ALREADY_STARTED, MSG_SETUP_FILE_FAILED, NOTICE_MARK, PRODUCT_TITLE
from packages import folder_of_length
from suite import case
from winenv import windows_path

MSG_QUESTION = "Remove the ZEMBRIX VQ-2200 Series printer driver package from this PC?"
MSG_REMOVED = "The printer driver package is removed from this PC."
MSG_RESTART = MSG_REMOVED + "\nRestart the PC to finish."
MSG_NOT_ON_PC = "The printer driver package is not on this PC."
MSG_FAILED = "Failed to remove the printer driver package.\n\n%s: exit code %d"
MSG_INF_MISSING = "VQ2200.INF\nMissing printer driver files.\nExit the program."
MSG_MISSING_SETUP = "Missing to setup infomation file.\n\nExit the program."
MSG_DIFFERENT_SYSTEM = "Different operating system.\nExit the program."
BOX_TIMEOUT_MS = 15000


def inf_folder(ctx):
    return os.path.join(ctx.env.prefix, "drive_c", "windows", "inf")


def published(ctx):
    """The oem*.inf files of the prefix's INF folder."""
    return sorted(name for name in os.listdir(inf_folder(ctx)) if name.lower().startswith("oem"))


def publish(ctx, name, data):
    with open(os.path.join(inf_folder(ctx), name), "wb") as handle:
        handle.write(data)


def clear_published(ctx):
    for name in published(ctx):
        os.remove(os.path.join(inf_folder(ctx), name))


def sample_inf(folder):
    with open(os.path.join(folder, "VQ2200.INF"), "rb") as handle:
        return handle.read()


def answer_box(ctx, what, text, icon, button="OK", buttons=("OK",)):
    """Waits for the launcher's box with text, checks caption, icon, buttons and
    that it has no owner, then presses button."""
    found = ui.report(ctx.env, BOX_TIMEOUT_MS, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, text=text.split("\n")[0])
    if not ctx.check(found.done and found.windows, "%s: no box %r; %s" % (what, text, found.describe())):
        ctx.screenshot(what + "-no-box")
        return
    box = found.windows[0]
    ctx.check_equal((box["caption"], box["message"], box["icon"], box["owner"], box["buttons"]),
                    (PRODUCT_TITLE, text, icon, "0x0", list(buttons)), "%s: box" % what)
    pressed = ui.click(ctx.env, button, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, text=text.split("\n")[0])
    ctx.check(pressed.done, "%s: %s not pressed; %s" % (what, button, pressed.describe()))


def run_removal(ctx, row, folder, quiet, tools=None, boxes=(), alone=True):
    """One /uninstall in folder: quiet, or in window mode answering boxes
    ((text, icon, button) in order).  When it runs alone, a quiet one is
    watched for windows.  Returns (exit code, log texts)."""
    log = ctx.folder(row + ".log")
    arguments = ["/uninstall"] + (["/quiet"] if quiet else []) + ["/log=" + windows_path(log)]
    launch = Launch(ctx, row, folder, arguments, tools)
    if quiet and alone:
        ctx.check_equal(sorted(set(ui.summarize(windows_while_running(ctx, launch)))), [], "%s: windows" % row)
    for number, (text, icon, button) in enumerate(boxes):
        buttons = ("Yes", "No") if icon == "question" else ("OK",)
        answer_box(ctx, "%s box %d" % (row, number + 1), text, icon, button, buttons)
    return exit_code(ctx, launch, row), log_texts(ctx, log, row)


@case
def uninstall_after_install(ctx):
    # Setup.exe /quiet, then Setup.exe /uninstall /quiet: the INF folder is as before.
    clear_published(ctx)
    before = snapshot(inf_folder(ctx))
    folder = package(ctx, "pkg")
    package_before = snapshot(folder)
    install = Launch(ctx, "install", folder, ["/quiet", "/log=" + windows_path(ctx.folder("install.log"))])
    ctx.check_equal(exit_code(ctx, install, "install"), 0, "install: exit code")
    staged = published(ctx)
    ctx.check_equal(len(staged), 1, "install: published copies %r" % staged)
    texts = log_texts(ctx, ctx.folder("install.log"), "install")
    ctx.check(["Published as %s" % name for name in staged] == [t for t in texts if t.startswith("Published as")],
              "install: log lacks the published copy: %r" % texts)
    code, texts = run_removal(ctx, "uninstall", folder, True)
    ctx.check_equal(code, 0, "uninstall: exit code")
    ctx.check(snapshot(inf_folder(ctx)) == before, "uninstall: INF folder not as before: %r" % published(ctx))
    ctx.check(snapshot(folder) == package_before, "package folder changed")
    for line in ["Mode: uninstall", "Published copy: %s" % staged[0] if staged else "Published copy: ",
                 "Removal command: ", "pnputil.exe ended with exit code 0", "Exit code 0: "]:
        ctx.check(any(text.startswith(line) for text in texts), "uninstall: log lacks %r: %r" % (line, texts))


@case
def uninstall_outcomes(ctx):
    rows = [
        # (row, quiet, pnputil exit code, copies published (identical, same size but other bytes),
        #  exit code, boxes after the question, copies left)
        ("two-copies-quiet", True, 0, (2, 1), 0, [], ["oem92.inf"]),
        ("two-copies-yes", False, 0, (2, 0), 0, [(MSG_REMOVED, "information", "OK")], []),
        ("answered-no", False, 0, (1, 0), 1602, None, ["oem90.inf"]),
        ("nothing-quiet", True, 0, (0, 1), 0, [], ["oem92.inf"]),
        ("nothing-window", False, 0, (0, 0), 0, [(MSG_NOT_ON_PC, "information", "OK")], []),
        ("restart-quiet", True, 3010, (1, 0), 3010, [], []),
        ("restart-window", False, 3010, (1, 0), 3010, [(MSG_RESTART, "information", "OK")], []),
        ("fails-quiet", True, 5, (2, 0), 1603, [], ["oem90.inf", "oem91.inf"]),
        ("fails-window", False, 5, (1, 0), 1603, [(MSG_FAILED % ("oem90.inf", 5), "error", "OK")], ["oem90.inf"]),
    ]
    for row, quiet, tool_code, (identical, differing), expected, boxes, left in rows:
        clear_published(ctx)
        folder = package(ctx, row)
        inf = sample_inf(folder)
        for number in range(identical):
            publish(ctx, "oem%d.inf" % (90 + number), inf)
        if differing:
            publish(ctx, "oem92.inf", inf[:-2] + b"X\n")
        if quiet or not identical:
            answers = boxes
        elif boxes is None:
            answers = [(MSG_QUESTION, "question", "No")]
        else:
            answers = [(MSG_QUESTION, "question", "Yes")] + boxes
        code, texts = run_removal(ctx, row, folder, quiet, {"E2E_PNPUTIL_EXIT": tool_code}, answers)
        ctx.check_equal(code, expected, "%s: exit code" % row)
        ctx.check_equal(published(ctx), left, "%s: copies left" % row)
        ctx.check(texts and texts[-1].startswith("Exit code %d: " % expected), "%s: last log line %r"
                  % (row, texts[-1:]))
    clear_published(ctx)


@case
def uninstall_refusals(ctx):
    # The start refuses as an installation does; no copy is touched.
    clear_published(ctx)
    rows = [
        # (row, what is done to the package, exit code, box in window mode)
        ("inf-missing", lambda folder: os.remove(os.path.join(folder, "VQ2200.INF")), 1620,
         (MSG_INF_MISSING, "error")),
        ("setup-file-missing", lambda folder: os.remove(os.path.join(folder, "Setup.INI")), 1619,
         (MSG_MISSING_SETUP, "error")),
        ("no-language-menu", lambda folder: strip_key(folder, b"LANGUAGEMENU=English"), 1620,
         (MSG_SETUP_FILE_FAILED, "error")),
    ]
    for row, spoil, expected, box in rows:
        folder = package(ctx, row)
        publish(ctx, "oem90.inf", sample_inf(folder))
        spoil(folder)
        for quiet in (True, False):
            name = row + ("-quiet" if quiet else "-window")
            code, _ = run_removal(ctx, name, folder, quiet, boxes=[] if quiet else [box + ("OK",)])
            ctx.check_equal(code, expected, "%s: exit code" % name)
        ctx.check_equal(published(ctx), ["oem90.inf"], "%s: copies left" % row)
        clear_published(ctx)
    # A Windows version the launcher does not serve: 1633, with the refusal box.
    folder = package(ctx, "xp")
    ctx.env.set_windows_version("winxp")
    try:
        for quiet in (True, False):
            name = "xp-quiet" if quiet else "xp-window"
            boxes = [] if quiet else [(MSG_DIFFERENT_SYSTEM, "warning", "OK")]
            code, _ = run_removal(ctx, name, folder, quiet, boxes=boxes)
            ctx.check_equal(code, 1633, "%s: exit code" % name)
    finally:
        ctx.env.set_windows_version(None)


def strip_key(folder, key):
    path = os.path.join(folder, "Setup.INI")
    with open(path, "rb") as handle:
        text = handle.read()
    with open(path, "wb") as handle:
        handle.write(text.replace(key, b""))


@case
def uninstall_while_another_runs(ctx):
    # A window-mode copy shows its notice: the removal ends with 1618.
    folder = package(ctx, "busy")
    first = ctx.env.spawn(["Setup.exe"], cwd=folder)
    shown = ui.report(ctx.env, BOX_TIMEOUT_MS, exe="Setup.exe", text=NOTICE_MARK)
    ctx.require(shown.done and shown.windows, "the first copy shows no notice; %s" % shown.describe())
    code, _ = run_removal(ctx, "busy-quiet", folder, True, alone=False)
    ctx.check_equal(code, 1618, "busy-quiet: exit code")
    code, _ = run_removal(ctx, "busy-window", folder, False, boxes=[(MSG_ALREADY_STARTED, "information", "OK")])
    ctx.check_equal(code, 1618, "busy-window: exit code")
    ui.click(ctx.env, "CANCEL", exe="Setup.exe", text=NOTICE_MARK)
    ctx.env.finish(first, 10)


@case
def uninstall_from_a_long_folder(ctx):
    # A launch folder of 100 bytes, the most the budget allows.
    clear_published(ctx)
    folder = folder_of_length(ctx.scratch, 100)
    shutil.copytree(package(ctx, "long"), folder)
    publish(ctx, "oem90.inf", sample_inf(folder))
    before = snapshot(folder)
    code, _ = run_removal(ctx, "long", folder, True)
    ctx.check_equal(code, 0, "long: exit code")
    ctx.check_equal(published(ctx), [], "long: copies left")
    ctx.check(snapshot(folder) == before, "long: package folder changed")
