"""Setup files and packages at their limits, under Wine where the platform's
own answers matter (what PathFileExistsA and the profile functions make of odd
entries, what a message box shows): a setup file that is a folder, the setup
file or a listed file removed between start and OK, the longest values the
reader returns, counts far above the lists, entries with "..", quotes and
absolute paths.  Each row runs the real launcher up to its answer."""

import os
import shutil

import packages
import ui
from launcher import (DIALOG_CLASS, FRAME_CLASS, MSG_SETUP_FILE_FAILED, MSG_SETUP_FILE_MISSING, answer_notice,
                      control, dismiss, expect_box, find_frame, find_notice, finish_after_box, launch, page_of)
from suite import case

MISSING_FILES = "\nMissing printer driver files.\nExit the program."
READY = ("Printer driver is ready for installation.\nConnect the printer to your PC and turn on the printer "
         "power.\n\nClick the OK button.")
LONGEST = 254  # the longest value the reader returns
MODEL_GROUP = 1273


def remove(path):
    if os.path.isdir(path):
        shutil.rmtree(path)
    else:
        os.remove(path)


def run_to_outcome(ctx, row, folder, at_page, message, kind):
    """Notice OK; at_page(folder) while the page shows; OK on the page; then the
    box with message: kind 'error' without owner, 'information' owned by the page."""
    process = launch(ctx, folder)
    ctx.require(find_notice(ctx, row) is not None, "%s: no notice" % row)
    answer_notice(ctx, row, "OK")
    frame = find_frame(ctx, row)
    ctx.require(frame is not None, "%s: no page" % row)
    if at_page:
        at_page(folder)
    clicked = ui.click(ctx.env, "OK", exe="Setup.exe", class_name=FRAME_CLASS)
    ctx.require(clicked.done, "%s: OK on the page; %s" % (row, clicked.describe()))
    # Boxes owned by the page report the frame: a child window cannot own a top-level one,
    # so the system takes its top-level ancestor.
    owner = frame["hwnd"] if kind == "information" else "0x0"
    if expect_box(ctx, row, message, kind, owner=owner) is not None:
        dismiss(ctx, row, "click", message)
    finish_after_box(ctx, process, row)


@case(once=True)
def setup_file_is_folder(ctx):
    folder = packages.lay_out_package(ctx.folder("pkg"), ctx.env.setup_exe, with_setup_file=False)
    os.mkdir(os.path.join(folder, "Setup.INI"))
    process = launch(ctx, folder)
    # PathFileExistsA accepts the folder; its values cannot be read.
    if expect_box(ctx, "folder", MSG_SETUP_FILE_FAILED, "error") is not None:
        dismiss(ctx, "folder", "click", MSG_SETUP_FILE_FAILED)
    finish_after_box(ctx, process, "folder")


@case(once=True)
def removed_between_start_and_ok(ctx):
    rows = [
        ("setup-file", "Setup.INI", MSG_SETUP_FILE_MISSING),
        ("listed-file", "vq2200.cat", "vq2200.cat" + MISSING_FILES),
        ("listed-folder", "Driver", "Driver\\x64\\VQ2200UI.DLL" + MISSING_FILES),
    ]
    for row, name, message in rows:
        folder = packages.lay_out_package(ctx.folder(row), ctx.env.setup_exe)
        run_to_outcome(ctx, row, folder, lambda where, name=name: remove(os.path.join(where, name)), message,
                       "error")


@case(once=True)
def odd_entries_and_counts(ctx):
    infs, files = ("INFNUM", "INFITEM"), ("FILENUM", "FILEITEM")
    # 254 bytes in words, so the box can wrap it (one unbroken word that long makes a box
    # wider than the screen under Wine).
    long_name = ("Printer Driver Files " * 13)[:LONGEST - 1] + "Z"
    rows = [
        # (row, edits, expected box, kind)
        ("entry-of-254-bytes", {("FILELIST", "FL0"): long_name}, long_name + MISSING_FILES, "error"),
        ("entry-with-dot-dot", {("FILELIST", "FL0"): "..\\%s\\VQ2200.INF"}, READY, "information"),
        ("entry-dot-dot-missing", {("FILELIST", "FL0"): "..\\VQ2200.INF"}, "..\\VQ2200.INF" + MISSING_FILES,
         "error"),
        # An absolute path is joined under the launch folder like any entry.
        ("entry-absolute", {("FILELIST", "FL0"): "C:\\windows\\system32\\kernel32.dll"},
         "C:\\windows\\system32\\kernel32.dll" + MISSING_FILES, "error"),
        # The profile reader takes a value's enclosing quotes off: the file is found.
        ("entry-quoted", {("FILELIST", "FL0"): "\"VQ2200.INF\""}, READY, "information"),
        ("inf-with-quote", {("INFNAME", "INF0"): "VQ\"2200.INF"}, MSG_SETUP_FILE_FAILED, "error"),
        ("file-count-far-above", {files: "99999"}, MSG_SETUP_FILE_FAILED, "error"),
        ("inf-count-far-above", {infs: "2147483647"}, MSG_SETUP_FILE_FAILED, "error"),
        ("inf-count-past-table", {infs: "7", ("INFNAME", "INF1"): "a", ("INFNAME", "INF2"): "b",
                                  ("INFNAME", "INF3"): "c", ("INFNAME", "INF4"): "d", ("INFNAME", "INF5"): "e",
                                  ("INFNAME", "INF6"): "f"}, READY, "information"),
        ("counts-negative", {infs: "-1", files: "-5"}, READY, "information"),
        ("counts-not-numbers", {files: "five"}, MSG_SETUP_FILE_FAILED, "error"),
    ]
    for row, edits, message, kind in rows:
        folder = ctx.folder(row)
        # The ".." row names the package folder itself from its parent.
        edits = {key: value.replace("%s", os.path.basename(folder)) if value and "%s" in value else value
                 for key, value in edits.items()}
        packages.lay_out_package(folder, ctx.env.setup_exe, edits=edits)
        run_to_outcome(ctx, row, folder, None, message, kind)


@case(once=True)
def longest_model_caption(ctx):
    model = "M" * (LONGEST - 1) + "Z"
    folder = packages.lay_out_package(ctx.folder("pkg"), ctx.env.setup_exe, edits={("MODEL", "MODEL"): model})
    process = launch(ctx, folder)
    ctx.require(find_notice(ctx, "model") is not None, "model: no notice")
    answer_notice(ctx, "model", "OK")
    frame = find_frame(ctx, "model")
    ctx.require(frame is not None, "model: no page")
    group = control(frame, MODEL_GROUP, page_of(frame)["hwnd"])
    ctx.check(group is not None and group["text"] == model, "model: group box caption %r"
              % (group and group["text"]))
    ui.syscommand(ctx.env, 0xF060, exe="Setup.exe", class_name=FRAME_CLASS)
    ui.click(ctx.env, "Yes", exe="Setup.exe", class_name=DIALOG_CLASS, text="IS it OK?")
    finish_after_box(ctx, process, "model")
