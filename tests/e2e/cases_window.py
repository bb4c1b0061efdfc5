"""The window stage of the real launcher under Wine: the notice dialog, the
main frame with its page, the quit prompt, and the version policy applied
after the notice for every Windows version Wine can report.

The cases of the main build also save pictures of the notice and of the page
under out/e2e/pictures/ (the README shows copies of them, kept in docs/)."""

import os
import time

import packages
from launcher import (BOX_TIMEOUT_MS, DIALOG_CLASS, FRAME_CLASS, MESSAGE_BOX_CLASS, MSG_DIFFERENT_SYSTEM,
                      MSG_MISSING_SYSTEM, MSG_QUIT, MSG_SETUP_FILE_MISSING, NOTICE_MARK, NOTICE_ORDER_TEXT,
                      NOTICE_SYSTEMS_TEXT, PAGE_INSTRUCTION, PRODUCT_TITLE, SC_CLOSE, VK_ESCAPE, VK_RETURN,
                      answer_notice, control, dismiss, end_from_page, expect_box, find_frame, find_notice,
                      finish_after_box, launch, page_of)
from suite import SHOTS_ROOT, case

import ui

PICTURES_DIR = os.path.join(SHOTS_ROOT, "pictures")
SAMPLE_MODEL = "ZEMBRIX VQ-2200 Series"

# Window styles and system commands.
WS_CHILD, WS_CAPTION, WS_SYSMENU = 0x40000000, 0x00C00000, 0x00080000
WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00040000, 0x00020000, 0x00010000
WS_DISABLED, WS_MINIMIZE = 0x08000000, 0x20000000
SC_SIZE, SC_MOVE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE = 0xF000, 0xF010, 0xF020, 0xF030, 0xF120
BS_TYPEMASK, BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_AUTORADIOBUTTON, BS_GROUPBOX = 0xF, 0, 1, 3, 9, 7
IDOK, IDCANCEL = 1, 2
VK_TAB = 0x09
IDI_PRINTER = 204
IDC_PAGE_OK, IDC_NETWORK_PORT, IDC_DRIVER_PACKAGE = 1276, 4010, 4030
IDC_PAGE_INSTRUCTION, IDC_PAGE_MODEL_GROUP = 1269, 1273
IDC_NOTICE_INFO_ICON, IDC_NOTICE_TEXT, IDC_NOTICE_WARNING_TEXT, IDC_NOTICE_WARNING_ICON = 1270, 1271, 1272, 1273


def package(ctx, name, **layout):
    return packages.lay_out_package(ctx.folder(name), ctx.env.setup_exe, **layout)


def hex_value(text):
    return int(text, 16)


def save_picture(ctx, name, window):
    """Saves window's rectangle of the screen as out/e2e/pictures/<name>.png (main build of
    the default brand only)."""
    if ctx.name.endswith("]") or os.environ.get("E2E_BUILD_TREE"):
        return
    path = os.path.join(PICTURES_DIR, name + ".png")
    ctx.check(ctx.env.screenshot(path, (window["x"], window["y"], window["width"], window["height"])),
              "picture %s not saved" % path)


def check_button(ctx, what, window, control_id, label, parent=None):
    item = control(window, control_id, parent)
    if not ctx.check(item is not None, "%s: no button %d" % (what, control_id)):
        return None
    ctx.check_equal((item["class"], item["text"]), ("Button", label), "%s: button %d" % (what, control_id))
    return item


def check_notice(ctx, notice, frame_hwnd):
    """The notice: caption, texts, OK and CANCEL, the two system icons, owned by the frame."""
    ctx.check_equal(notice["caption"], PRODUCT_TITLE, "notice: caption")
    ctx.check_equal(notice["owner"], frame_hwnd, "notice: owner (the frame)")
    style = hex_value(notice["style"])
    ctx.check(not style & WS_SYSMENU, "notice: has a system menu (style %s)" % notice["style"])
    texts = {item["id"]: item["text"] for item in notice["controls"]}
    ctx.check_equal(texts.get(IDC_NOTICE_TEXT), NOTICE_SYSTEMS_TEXT, "notice: first text")
    ctx.check_equal(texts.get(IDC_NOTICE_WARNING_TEXT), NOTICE_ORDER_TEXT, "notice: second text")
    ctx.check_equal(notice["buttons"], ["OK", "CANCEL"], "notice: buttons")
    ok = check_button(ctx, "notice", notice, IDOK, "OK")
    check_button(ctx, "notice", notice, IDCANCEL, "CANCEL")
    if ok:
        ctx.check_equal(hex_value(ok["style"]) & BS_TYPEMASK, BS_DEFPUSHBUTTON, "notice: OK is the default button")
        ctx.check(ok["focused"], "notice: OK does not have the focus (focus %s)" % notice["focus"])
    icons = {item["id"]: item.get("icon") for item in notice["controls"]}
    ctx.check_equal(icons.get(IDC_NOTICE_INFO_ICON), "information", "notice: upper icon")
    ctx.check_equal(icons.get(IDC_NOTICE_WARNING_ICON), "warning", "notice: lower icon")


def frame_under_notice(ctx, what):
    """The frame while the notice is up: shown (visible, disabled by the modal notice)."""
    found = ui.report(ctx.env, BOX_TIMEOUT_MS, exe="Setup.exe", class_name=FRAME_CLASS)
    ctx.require(found.done and found.windows, "%s: no frame shown under the notice; %s" % (what, found.describe()))
    return found.windows[0]


@case
def notice_dialog(ctx):
    # The notice comes up on top of the frame, owned by it; CANCEL ends the launch with no further window.
    process = launch(ctx, package(ctx, "pkg"))
    notice = find_notice(ctx, "notice")
    ctx.require(notice is not None, "no notice")
    frame = frame_under_notice(ctx, "notice")
    check_notice(ctx, notice, frame["hwnd"])
    save_picture(ctx, "notice", notice)
    answer_notice(ctx, "cancel", "CANCEL")
    finish_after_box(ctx, process, "cancel")


@case
def notice_escape_and_enter(ctx):
    folder = package(ctx, "pkg")
    # Escape is CANCEL: the launch ends, no further window, exit code 0.
    process = launch(ctx, folder)
    if find_notice(ctx, "escape"):
        answer_notice(ctx, "escape", "escape")
    finish_after_box(ctx, process, "escape")
    # Enter presses OK, which has the focus: the page comes up.
    process = launch(ctx, folder)
    if find_notice(ctx, "enter"):
        answer_notice(ctx, "enter", "enter")
    gone = ui.gone(ctx.env, BOX_TIMEOUT_MS, exe="Setup.exe", class_name=DIALOG_CLASS, text=NOTICE_MARK)
    ctx.check(gone.done, "enter: the notice is still up; %s" % gone.describe())
    ctx.check(find_frame(ctx, "enter") is not None, "enter: no page")
    end_from_page(ctx, process, "enter")


def check_page(ctx, frame, model):
    """The page: a child dialog filling the frame, its texts, buttons and boxes.
    Both push buttons are default buttons in the template; the dialog manager
    takes that look from OK when the page gives OK the focus, so OK may show
    either kind, while CANCEL keeps it."""
    page = page_of(frame)
    if not ctx.check(page is not None, "page: the frame has no child dialog"):
        return None
    ctx.check(hex_value(page["style"]) & WS_CHILD, "page: not a child window (style %s)" % page["style"])
    at = page["hwnd"]
    instruction = control(frame, IDC_PAGE_INSTRUCTION, at)
    ctx.check_equal(instruction and instruction["text"], PAGE_INSTRUCTION, "page: instruction text")
    group = control(frame, IDC_PAGE_MODEL_GROUP, at)
    ctx.check_equal(group and (group["text"], hex_value(group["style"]) & BS_TYPEMASK), (model, BS_GROUPBOX),
                    "page: group box caption")
    for control_id, label, kind in ((IDC_DRIVER_PACKAGE, "Add a Printer Driver package.", BS_AUTORADIOBUTTON),
                                    (IDC_NETWORK_PORT, "Use a network port", BS_AUTOCHECKBOX),
                                    (IDC_PAGE_OK, "OK", BS_DEFPUSHBUTTON), (IDCANCEL, "CANCEL", BS_DEFPUSHBUTTON)):
        item = check_button(ctx, "page", frame, control_id, label, at)
        if item:
            kinds = (BS_PUSHBUTTON, BS_DEFPUSHBUTTON) if control_id == IDC_PAGE_OK else (kind,)
            ctx.check(hex_value(item["style"]) & BS_TYPEMASK in kinds, "page: kind of button %d: %s, expected %r"
                      % (control_id, item["style"], kinds))
            ctx.check_equal(item["checked"], 0, "page: button %d ticked at start" % control_id)
    return page


def check_frame_place(ctx, frame, page):
    """Centred by the page's size plus a caption, no allowance for borders."""
    width, height = page["width"], page["height"] + frame["caption_height"]
    expected = ((frame["screen_width"] - width) // 2, (frame["screen_height"] - height) // 2, width, height)
    ctx.check_equal((frame["x"], frame["y"], frame["width"], frame["height"]), expected,
                    "frame: place and size (x, y, width, height)")
    ctx.check_equal(frame["caption"], PRODUCT_TITLE, "frame: title")
    ctx.check_equal(frame["owner"], "0x0", "frame: owner")
    style = hex_value(frame["style"])
    ctx.check_equal(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
                    WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, "frame: caption, system menu, minimise box only")


def check_system_menu(ctx, what):
    menu, result = ui.system_menu(ctx.env, icon_id=IDI_PRINTER, exe="Setup.exe", class_name=FRAME_CLASS)
    if not ctx.check(menu is not None, "%s: system menu not read; %s" % (what, result.describe())):
        return
    ids = [hex_value(item["id"]) for item in menu["items"]]
    ctx.check(SC_MAXIMIZE not in ids and SC_SIZE not in ids, "%s: Maximize or Size left in %r" % (what, menu["items"]))
    ctx.check(all(command in ids for command in (SC_MOVE, SC_MINIMIZE, SC_CLOSE)),
              "%s: Move, Minimize or Close missing from %r" % (what, menu["items"]))
    ctx.check_equal(menu["pointer_bits"], ctx.env.bits, "%s: launcher bitness" % what)
    ctx.check(menu["class_icon_is_resource"], "%s: the frame's class icon is not icon %d" % (what, IDI_PRINTER))


@case
def page_and_frame(ctx):
    rows = [
        # (row, MODEL value in the setup file)
        ("sample", SAMPLE_MODEL),
        ("quotes-ampersand", 'Model "Q" & Co. 2/3'),
        ("254-bytes", ("M%03d-" % 254) + "x" * 249),
    ]
    for row, model in rows:
        edits = {} if model == SAMPLE_MODEL else {("MODEL", "MODEL"): model}
        process = launch(ctx, package(ctx, row, edits=edits))
        if find_notice(ctx, row):
            answer_notice(ctx, row, "OK")
        frame = find_frame(ctx, row)
        if frame is None:
            continue
        page = check_page(ctx, frame, model)
        if row == "sample" and page is not None:
            check_frame_place(ctx, frame, page)
            check_system_menu(ctx, row)
            save_picture(ctx, "page", frame)
        end_from_page(ctx, process, row)


def quit_prompt(ctx, what, ask, frame):
    """Asks to quit (ask: 'close box' or 'CANCEL'): a question box owned by the
    frame with Yes and No.  Returns the prompt's report or None."""
    if ask == "close box":
        asked = ui.syscommand(ctx.env, SC_CLOSE, exe="Setup.exe", class_name=FRAME_CLASS)
    else:
        asked = ui.click(ctx.env, "CANCEL", exe="Setup.exe", class_name=FRAME_CLASS)
    ctx.check(asked.done, "%s: could not press the %s; %s" % (what, ask, asked.describe()))
    return expect_box(ctx, what, MSG_QUIT, "question", buttons=("Yes", "No"), owner=frame["hwnd"])


@case
def quit_prompt_answers(ctx):
    folder = package(ctx, "pkg")
    for ask in ("close box", "CANCEL"):
        what = ask.replace(" ", "-")
        process = launch(ctx, folder)
        if find_notice(ctx, what):
            answer_notice(ctx, what, "OK")
        frame = find_frame(ctx, what)
        ctx.require(frame is not None, "%s: no page" % what)
        # No: the launcher keeps running, the page takes input again.
        box = quit_prompt(ctx, what + "-no", ask, frame)
        if box is not None:
            # The page set icon 204 on its window class, the dialog class the prompt shares.
            menu, result = ui.system_menu(ctx.env, icon_id=IDI_PRINTER, exe="Setup.exe",
                                          class_name=MESSAGE_BOX_CLASS, text=MSG_QUIT)
            ctx.check(menu and menu["class_icon_is_resource"], "%s: the dialog class icon is not icon %d; %s"
                      % (what, IDI_PRINTER, menu or result.describe()))
            ui.click(ctx.env, "No", exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, text=MSG_QUIT)
            gone = ui.gone(ctx.env, BOX_TIMEOUT_MS, exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, text=MSG_QUIT)
            ctx.check(gone.done, "%s: prompt still up after No; %s" % (what, gone.describe()))
        ctx.check(process.poll() is None, "%s: the launcher ended after No" % what)
        # The focus goes back where it was when the question came: on OK for
        # the close box, on CANCEL once it was pressed.
        wait_for_focus(ctx, what + "-no", IDCANCEL if ask == "CANCEL" else IDC_PAGE_OK)
        ticked = ui.click(ctx.env, "Use a network port", exe="Setup.exe", class_name=FRAME_CLASS)
        ctx.check(ticked.done, "%s: the check box could not be pressed after No; %s" % (what, ticked.describe()))
        after = find_frame(ctx, what + "-after-no")
        if after is not None:
            box_state = control(after, IDC_NETWORK_PORT)
            ctx.check_equal(box_state and box_state["checked"], 1, "%s: check box after No and a click" % what)
            ctx.check(hex_value(after["style"]) & WS_DISABLED == 0, "%s: frame left disabled after No" % what)
        # Yes: the launch ends with exit code 0.
        box = quit_prompt(ctx, what + "-yes", ask, frame)
        if box is not None:
            ui.click(ctx.env, "Yes", exe="Setup.exe", class_name=MESSAGE_BOX_CLASS, text=MSG_QUIT)
        finish_after_box(ctx, process, what + "-yes")


def wait_for_focus(ctx, what, control_id, timeout=5.0):
    """Waits (bounded) until the control control_id of the frame has the focus."""
    deadline = time.monotonic() + timeout
    while True:
        frame = find_frame(ctx, what)
        focused = [item["id"] for item in (frame or {}).get("controls", []) if item["focused"]]
        if focused == [control_id] or time.monotonic() > deadline or frame is None:
            break
    ctx.check_equal(focused, [control_id], "%s: control with the focus" % what)


@case
def page_keyboard(ctx):
    # The message loop routes no dialog messages: Escape and Enter on the page
    # press no button (no quit question, no installation), nor does Tab move on.
    process = launch(ctx, package(ctx, "pkg"))
    if find_notice(ctx, "notice"):
        answer_notice(ctx, "notice", "OK")
    ctx.require(find_frame(ctx, "page") is not None, "no page")
    wait_for_focus(ctx, "start", IDC_PAGE_OK)
    for name, key in (("escape", VK_ESCAPE), ("enter", VK_RETURN), ("tab", VK_TAB)):
        pressed = ui.key(ctx.env, key, exe="Setup.exe", class_name=FRAME_CLASS)
        ctx.check(pressed.done, "%s: key not pressed; %s" % (name, pressed.describe()))
        # The system menu query is posted after the key, so once it is answered
        # the launcher has taken the key and done whatever it does with it.
        menu, result = ui.system_menu(ctx.env, exe="Setup.exe", class_name=FRAME_CLASS)
        ctx.check(menu is not None, "%s: the launcher did not answer; %s" % (name, result.describe()))
        windows = ui.list_windows(ctx.env, exe="Setup.exe").windows
        ctx.check_equal([window["class"] for window in windows], [FRAME_CLASS], "%s: the launcher's windows" % name)
        ctx.check(process.poll() is None, "%s: the launcher ended" % name)
        frame = find_frame(ctx, name)
        focused = [item["id"] for item in (frame or {}).get("controls", []) if item["focused"]]
        ctx.check_equal(focused, [IDC_PAGE_OK], "%s: control with the focus" % name)
    end_from_page(ctx, process, "end")


@case
def minimise_and_restore(ctx):
    # The frame can be minimised; restored, the focus is back on the control that had it.
    process = launch(ctx, package(ctx, "pkg"))
    if find_notice(ctx, "notice"):
        answer_notice(ctx, "notice", "OK")
    ctx.require(find_frame(ctx, "page") is not None, "no page")
    ticked = ui.click(ctx.env, "Use a network port", exe="Setup.exe", class_name=FRAME_CLASS)
    ctx.check(ticked.done, "tick: %s" % ticked.describe())
    wait_for_focus(ctx, "ticked", IDC_NETWORK_PORT)
    for what, command, minimised in (("minimise", SC_MINIMIZE, True), ("restore", SC_RESTORE, False)):
        done = ui.syscommand(ctx.env, command, exe="Setup.exe", class_name=FRAME_CLASS)
        ctx.check(done.done, "%s: %s" % (what, done.describe()))
        wait_for_style(ctx, what, WS_MINIMIZE, minimised)
    wait_for_focus(ctx, "restored", IDC_NETWORK_PORT)
    end_from_page(ctx, process, "end")


def wait_for_style(ctx, what, bit, present, timeout=5.0):
    """Waits (bounded) until the frame's style has bit set (present) or clear."""
    deadline = time.monotonic() + timeout
    while True:
        found = ui.report(ctx.env, 2000, exe="Setup.exe", class_name=FRAME_CLASS)
        style = hex_value(found.windows[0]["style"]) if found.windows else 0
        if bool(style & bit) == present or time.monotonic() > deadline:
            break
    ctx.check_equal(bool(style & bit), present, "%s: frame style bit 0x%x" % (what, bit))


# Every Windows version Wine can report to the launcher (win31 ends before any
# window: see cases_startup), the version the launcher is told, as read inside
# its process, and what the policy makes of it.  win81 and win10 report 6.2 to
# an executable whose manifest names Windows 7 and 8 only.
VERSION_ROWS = [
    ("win98", {(1, 4, 10)}, MSG_DIFFERENT_SYSTEM),
    ("nt351", {(2, 3, 51)}, MSG_MISSING_SYSTEM),
    ("nt40", {(2, 4, 0)}, MSG_DIFFERENT_SYSTEM),
    ("win2k", {(2, 5, 0)}, MSG_DIFFERENT_SYSTEM),
    ("winxp", {(2, 5, 1)}, MSG_DIFFERENT_SYSTEM),
    ("win2003", {(2, 5, 2)}, MSG_DIFFERENT_SYSTEM),
    ("vista", {(2, 6, 0)}, MSG_DIFFERENT_SYSTEM),
    ("win7", {(2, 6, 1)}, None),
    ("win8", {(2, 6, 2)}, None),
    ("win81", {(2, 6, 2)}, None),
    ("win10", {(2, 6, 2)}, None),
]


def version_told(ctx, what):
    """(platform, major, minor) as GetVersionExA answers inside the launcher, read on the notice."""
    menu, result = ui.system_menu(ctx.env, exe="Setup.exe", class_name=DIALOG_CLASS, text=NOTICE_MARK)
    if not ctx.check(menu is not None and "platform" in menu, "%s: version not read; %s" % (what, result.describe())):
        return None
    return (menu["platform"], menu["major"], menu["minor"])


@case
def version_policy(ctx):
    folder = package(ctx, "pkg")
    try:
        # On the 9x family too the setup file is checked before the notice.
        ctx.env.set_windows_version("win98")
        expect_refusal_without_setup_file(ctx)
        for version, told, refusal in VERSION_ROWS:
            ctx.env.set_windows_version(version)
            process = launch(ctx, folder)
            seen = None
            if find_notice(ctx, version):
                seen = version_told(ctx, version)
                ctx.check(seen in told, "%s: the launcher is told %r, expected one of %r" % (version, seen, told))
                answer_notice(ctx, version, "OK")
            if refusal is None:
                if find_frame(ctx, version) is not None:
                    ctx.note("%-7s told %s: accepted, page shown" % (version, ".".join(map(str, seen or ()))))
                    end_from_page(ctx, process, version)
                else:
                    ctx.env.finish(process, 1)
                continue
            box = expect_box_owned(ctx, version, refusal)
            if box is not None:
                ctx.note("%-7s told %s: refused, %r" % (version, ".".join(map(str, seen or ())), refusal))
                dismiss(ctx, version, "click", refusal)
            finish_after_box(ctx, process, version)
    finally:
        ctx.env.set_windows_version(None)


def expect_box_owned(ctx, what, message):
    """A warning box owned by the frame."""
    frames = ui.report(ctx.env, BOX_TIMEOUT_MS, exe="Setup.exe", class_name=FRAME_CLASS)
    ctx.require(frames.windows, "%s: no frame; %s" % (what, frames.describe()))
    return expect_box(ctx, what, message, "warning", owner=frames.windows[0]["hwnd"])


def expect_refusal_without_setup_file(ctx):
    folder = package(ctx, "no-ini", with_setup_file=False)
    process = launch(ctx, folder)
    if expect_box(ctx, "win98-no-setup-file", MSG_SETUP_FILE_MISSING, "error") is not None:
        dismiss(ctx, "win98-no-setup-file", "click", MSG_SETUP_FILE_MISSING)
    finish_after_box(ctx, process, "win98-no-setup-file")
