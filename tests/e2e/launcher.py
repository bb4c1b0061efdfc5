"""Starting the launcher in a package folder and checking what it shows."""

import subprocess

import ui

PRODUCT_TITLE = "ZEMBRIX VQ Series Printer Driver Package"
MESSAGE_BOX_CLASS = "#32770"

# The launcher's start-up texts, as the user must see them.
MSG_FOLDER_TOO_LONG = ("Folder path to Software setup is too long.\nMove this Software setup to another "
                       "folder whose path within 100 characters.\n\nExit the program.")
MSG_SETUP_FILE_MISSING = "Missing to setup infomation file.\n\nExit the program."
MSG_SETUP_FILE_FAILED = "Failed to setup infomation file.\n\nExit the program."
MSG_ALREADY_STARTED = "\"%s\" is already started." % PRODUCT_TITLE

START_TIMEOUT = 15  # seconds for a launch that shows nothing to end
BOX_TIMEOUT_MS = 10000  # for a box to appear
EXIT_AFTER_BOX_TIMEOUT = 10  # for the launcher to end once its box is closed

VK_RETURN = 0x0D
IDOK = 1


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


def expect_box(ctx, what, message, icon, exe_name="Setup.exe"):
    """Waits for the box showing message from exe_name and checks it is a plain
    ownerless message box with the product title, one OK button and the icon.
    Returns the reported window, or None when none came."""
    found = ui.report(ctx.env, BOX_TIMEOUT_MS, exe=exe_name, class_name=MESSAGE_BOX_CLASS, text=message)
    if not ctx.check(found.done and found.windows, "%s: no box with %r; %s" % (what, message, found.describe())):
        ctx.screenshot(what + "-no-box")
        return None
    box = found.windows[0]
    ctx.screenshot(what)
    ctx.check_equal(box["caption"], PRODUCT_TITLE, "%s: caption" % what)
    ctx.check_equal(box["message"], message, "%s: text" % what)
    ctx.check_equal(box["buttons"], ["OK"], "%s: buttons" % what)
    ctx.check_equal(box["icon"], icon, "%s: icon kind (pixel difference %s)" % (what, box["icon_difference"]))
    ctx.check_equal(box["owner"], "0x0", "%s: owner" % what)
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
    """One accepted launch: no box, exit code 0 (the window stage is not there yet)."""
    return finish_silently(ctx, launch(ctx, folder, exe_name), what)
