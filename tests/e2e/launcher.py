"""Starting the launcher in a package folder and checking what it shows."""

import subprocess

import ui
from brand import BRAND

PRODUCT_TITLE = BRAND["title"]
MESSAGE_BOX_CLASS = "#32770"
DIALOG_CLASS = "#32770"
FRAME_CLASS = BRAND["window_class"]

# The launcher's start-up texts, as the user must see them.
MSG_FOLDER_TOO_LONG = ("Folder path to Software setup is too long.\nMove this Software setup to another "
                       "folder whose path within 100 characters.\n\nExit the program.")
MSG_SETUP_FILE_MISSING = "Missing to setup infomation file.\n\nExit the program."
MSG_SETUP_FILE_FAILED = "Failed to setup infomation file.\n\nExit the program."
MSG_ALREADY_STARTED = "\"%s\" is already started." % PRODUCT_TITLE

# The window stage's texts.
NOTICE_SYSTEMS_TEXT = (
    "If your operating system is Windows 7 / Windows Server 2008 R2 and later, click the OK button.\n"
    "For any other Windows operating system, click the Cancel button and read \"Readme.txt\" in your operating "
    "system.\n\nRead InstallGuide.PDF or README.TXT for how to install the printer driver.")
NOTICE_ORDER_TEXT = (
    "For Windows 7 / Windows Server 2008 R2 and later, install the printer driver before connecting the printer "
    "to your personal computer.\nEither of the following messages is displayed in the setup program:\n"
    "  Printer is ready for installation.\n  Printer driver installation has been completed.\n"
    "After the message is displayed, connect the printer to your PC.")
NOTICE_MARK = "If your operating system is Windows 7"  # finds the notice among dialogs
PAGE_INSTRUCTION = ("Select a printer driver.\nTo use a network port, check mark the option "
                    "\"Use a network port\".")
MSG_QUIT = "Quit %s\n\nIS it OK?" % PRODUCT_TITLE
MSG_DIFFERENT_SYSTEM = "Different operating system.\nExit the program."
MSG_MISSING_SYSTEM = "Missing Windows operating system.\nExit the program."

START_TIMEOUT = 15  # seconds for a launch that shows nothing to end
BOX_TIMEOUT_MS = 10000  # for a box to appear
EXIT_AFTER_BOX_TIMEOUT = 10  # for the launcher to end once its box is closed

VK_RETURN = 0x0D
VK_ESCAPE = 0x1B
IDOK = 1
SC_CLOSE = 0xF060


def launch(ctx, folder, exe_name="Setup.exe"):
    """Starts exe_name with folder as its current folder, as a user double-clicking it."""
    return ctx.env.spawn([exe_name], cwd=folder)


def finish_silently(ctx, process, what):
    """Checks the launch ends by itself, at once, with exit code 0 and no window."""
    try:
        process.wait(timeout=START_TIMEOUT)
    except subprocess.TimeoutExpired:  # still running: say what is on screen before it is killed
        windows = ui.list_windows(ctx.env).windows
        ctx.screenshot("still-running")
        ctx.check(False, "%s: still running after %d s; windows: %s" % (what, START_TIMEOUT, ui.summarize(windows)))
    result = ctx.env.finish(process, 5)
    if not result.timed_out:
        ctx.check_equal(result.returncode, 0, "%s: exit code" % what)
    return result


def expect_box(ctx, what, message, icon, exe_name="Setup.exe", buttons=("OK",), owner="0x0",
               timeout_ms=BOX_TIMEOUT_MS):
    """Waits for the box showing message from exe_name and checks it is a
    message box with the product title, the buttons, the icon and the owner
    (none by default).  Returns the reported window, or None when none came."""
    found = ui.report(ctx.env, timeout_ms, exe=exe_name, class_name=MESSAGE_BOX_CLASS, text=message)
    if not ctx.check(found.done and found.windows, "%s: no box with %r; %s" % (what, message, found.describe())):
        ctx.screenshot(what + "-no-box")
        return None
    box = found.windows[0]
    ctx.screenshot(what)
    ctx.check_equal(box["caption"], PRODUCT_TITLE, "%s: caption" % what)
    ctx.check_equal(box["message"], message, "%s: text" % what)
    ctx.check_equal(box["buttons"], list(buttons), "%s: buttons" % what)
    ctx.check_equal(box["icon"], icon, "%s: icon kind (pixel difference %s)" % (what, box["icon_difference"]))
    ctx.check_equal(box["owner"], owner, "%s: owner" % what)
    # The flags ask for an application-modal box: a system-modal one would be topmost.
    ctx.check_equal(box["topmost"], False, "%s: topmost" % what)
    ctx.check(fits_screen(box), "%s: box not on screen: %r" % (what, (box["x"], box["y"], box["width"], box["height"])))
    return box


def fits_screen(box):
    return (0 <= box["x"] and 0 <= box["y"] and box["width"] > 0 and box["height"] > 0
            and box["x"] + box["width"] <= box["screen_width"] and box["y"] + box["height"] <= box["screen_height"])


def dismiss(ctx, what, how, message, exe_name="Setup.exe"):
    """Closes the box showing message the way a user would: 'click' the OK
    button, 'command' IDOK, or 'enter' on the keyboard."""
    filters = dict(exe=exe_name, class_name=MESSAGE_BOX_CLASS, text=message)
    if how == "click":
        result = ui.click(ctx.env, "OK", **filters)
    elif how == "command":
        result = ui.command(ctx.env, IDOK, **filters)
    else:
        result = ui.key(ctx.env, VK_RETURN, **filters)
    ctx.check(result.done, "%s: could not %s the box; %s" % (what, how, result.describe()))


def finish_after_box(ctx, process, what):
    """Checks the launcher ends with exit code 0 once its box is closed."""
    result = ctx.env.finish(process, EXIT_AFTER_BOX_TIMEOUT)
    ctx.check(not result.timed_out, "%s: still running %d s after its box was closed" % (what, EXIT_AFTER_BOX_TIMEOUT))
    if not result.timed_out:
        ctx.check_equal(result.returncode, 0, "%s: exit code" % what)
    return result


def expect_refusal(ctx, folder, what, message, icon, how="click", exe_name="Setup.exe"):
    """One refused launch from start to end: box shown, closed, exit code 0."""
    process = launch(ctx, folder, exe_name)
    if expect_box(ctx, what, message, icon, exe_name):
        dismiss(ctx, what, how, message, exe_name)
    return finish_after_box(ctx, process, what)


def expect_silent_start(ctx, folder, what, exe_name="Setup.exe"):
    """A launch that ends at once with no window and exit code 0 (family 0)."""
    return finish_silently(ctx, launch(ctx, folder, exe_name), what)


def find_notice(ctx, what, exe_name="Setup.exe", timeout_ms=BOX_TIMEOUT_MS):
    """Waits for the notice dialog; returns its report or None (a failure recorded)."""
    found = ui.report(ctx.env, timeout_ms, exe=exe_name, class_name=DIALOG_CLASS, text=NOTICE_MARK)
    if not ctx.check(found.done and found.windows, "%s: no notice dialog; %s" % (what, found.describe())):
        ctx.screenshot(what + "-no-notice")
        return None
    return found.windows[0]


def answer_notice(ctx, what, how, exe_name="Setup.exe"):
    """Answers the notice: 'enter' or 'escape' on the keyboard, or a click on 'OK' or 'CANCEL'."""
    filters = dict(exe=exe_name, class_name=DIALOG_CLASS, text=NOTICE_MARK)
    if how in ("enter", "escape"):
        result = ui.key(ctx.env, VK_RETURN if how == "enter" else VK_ESCAPE, **filters)
    else:
        result = ui.click(ctx.env, how, **filters)
    ctx.check(result.done, "%s: could not answer the notice with %s; %s" % (what, how, result.describe()))


def expect_accepted_start(ctx, folder, what, exe_name="Setup.exe"):
    """A launch that passes the start-up checks: the notice comes up; its
    CANCEL ends the launch with no further window and exit code 0."""
    process = launch(ctx, folder, exe_name)
    if find_notice(ctx, what, exe_name) is not None:
        answer_notice(ctx, what, "CANCEL", exe_name)
    return finish_after_box(ctx, process, what)


def find_frame(ctx, what, exe_name="Setup.exe", timeout_ms=BOX_TIMEOUT_MS):
    """Waits for the main frame with its page showing; returns its report or None."""
    found = ui.report(ctx.env, timeout_ms, exe=exe_name, class_name=FRAME_CLASS, text=PAGE_INSTRUCTION)
    if not ctx.check(found.done and found.windows, "%s: no frame with its page; %s" % (what, found.describe())):
        ctx.screenshot(what + "-no-frame")
        return None
    return found.windows[0]


def control(window, control_id, parent=None):
    """The reported control of window with control_id (under parent, when given), or None."""
    for item in window.get("controls", []):
        if item["id"] == control_id and (parent is None or item["parent"] == parent):
            return item
    return None


def page_of(frame):
    """The page: the frame's child dialog."""
    for item in frame.get("controls", []):
        if item["class"] == DIALOG_CLASS and item["parent"] == frame["hwnd"]:
            return item
    return None


def end_from_page(ctx, process, what, exe_name="Setup.exe"):
    """Ends a launch showing its page the user's way: the close box, then Yes."""
    ui.syscommand(ctx.env, SC_CLOSE, exe=exe_name, class_name=FRAME_CLASS)
    result = ui.click(ctx.env, "Yes", exe=exe_name, class_name=MESSAGE_BOX_CLASS, text=MSG_QUIT)
    ctx.check(result.done, "%s: no quit prompt to answer; %s" % (what, result.describe()))
    return finish_after_box(ctx, process, what)
