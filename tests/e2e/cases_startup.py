"""Start-up of the real launcher under Wine: the launch folder limit, the setup
file checks, the renamed launcher, the single-instance guard and the oldest
platform family.  A launch that passes every check shows the notice dialog;
its CANCEL then ends the launch with exit code 0 and no further window, which
is what an accepted start looks like here (the window cases go further)."""

import os
import shutil

import packages
from launcher import (MSG_ALREADY_STARTED, MSG_FOLDER_TOO_LONG, MSG_SETUP_FILE_FAILED, MSG_SETUP_FILE_MISSING,
                      dismiss, expect_accepted_start, expect_box, expect_refusal, expect_silent_start,
                      finish_after_box, launch)
from suite import Skip, case

import ui


def package(ctx, name, **layout):
    return packages.lay_out_package(ctx.folder(name), ctx.env.setup_exe, **layout)


@case
def launch_folder_length(ctx):
    # The folder is measured as GetCurrentDirectoryA gives it: Z:\ plus the unix path.
    rows = [
        # (row, length, setup file present, expected box text or None for an accepted start)
        ("len100", 100, True, None),
        ("len101", 101, True, MSG_FOLDER_TOO_LONG),
        # The folder is checked before the setup file: too long wins over missing.
        ("len101-no-ini", 101, False, MSG_FOLDER_TOO_LONG),
    ]
    for row, length, with_ini, message in rows:
        try:
            folder = packages.folder_of_length(ctx.folder(row), length)
        except ValueError as reason:
            raise Skip(str(reason))
        packages.lay_out_package(folder, ctx.env.setup_exe, with_setup_file=with_ini)
        if message is None:
            expect_accepted_start(ctx, folder, row)
        else:
            expect_refusal(ctx, folder, row, message, "warning", how="command")


@case
def setup_file_missing(ctx):
    folder = package(ctx, "pkg", with_setup_file=False)
    expect_refusal(ctx, folder, "missing", MSG_SETUP_FILE_MISSING, "error", how="click")


@case
def setup_file_values(ctx):
    model, language = ("MODEL", "MODEL"), ("LANGUAGEMENU", "LANGUAGEMENU")
    rows = [
        # (row, edits to the sample setup file, refused?)
        ("sample", {}, False),
        ("model-literal-unknown", {model: "unknown"}, True),
        ("model-capital-Unknown", {model: "Unknown"}, False),
        ("model-empty", {model: ""}, True),
        ("model-key-absent", {model: None}, True),
        ("model-section-absent", {("MODEL", None): None}, True),
        ("language-empty", {language: ""}, True),
        ("language-literal-unknown", {language: "unknown"}, True),
        ("language-capital-Unknown", {language: "Unknown"}, False),
        ("language-section-absent", {("LANGUAGEMENU", None): None}, True),
    ]
    for row, edits, refused in rows:
        folder = package(ctx, row, edits=edits)
        if refused:
            expect_refusal(ctx, folder, row, MSG_SETUP_FILE_FAILED, "error", how="enter")
        else:
            expect_accepted_start(ctx, folder, row)


@case
def renamed_launcher(ctx):
    # The setup file is named after the executable's own base name.
    install = dict(exe_name="Install.exe")
    rows = [
        ("own-ini-only", dict(install, setup_file_name="Install.INI"), None),
        ("setup-ini-only", dict(install, setup_file_name="Setup.INI"), MSG_SETUP_FILE_MISSING),
    ]
    for row, layout, message in rows:
        folder = package(ctx, row, **layout)
        if message is None:
            expect_accepted_start(ctx, folder, row, exe_name="Install.exe")
        else:
            expect_refusal(ctx, folder, row, message, "error", exe_name="Install.exe")
    # Both files present: the values must come from Install.INI (refused), not Setup.INI (valid).
    folder = package(ctx, "own-ini-read", exe_name="Install.exe", setup_file_name="Install.INI",
                     edits={("MODEL", "MODEL"): "unknown"})
    shutil.copyfile(os.path.join(packages.SAMPLE_PACKAGE, packages.SAMPLE_SETUP_FILE),
                    os.path.join(folder, "Setup.INI"))
    expect_refusal(ctx, folder, "own-ini-read", MSG_SETUP_FILE_FAILED, "error", exe_name="Install.exe")


@case
def already_started(ctx):
    # The first copy is held open by its missing-setup-file box, which keeps the guard.
    held = package(ctx, "held", with_setup_file=False)
    valid = package(ctx, "valid")
    first = launch(ctx, held)
    ctx.require(expect_box(ctx, "first", MSG_SETUP_FILE_MISSING, "error") is not None, "first copy showed no box")
    second = launch(ctx, valid)
    expect_box(ctx, "second", MSG_ALREADY_STARTED, "information")
    dismiss(ctx, "second", "enter", MSG_ALREADY_STARTED)
    finish_after_box(ctx, second, "second")
    # The first copy is untouched: still running, its box still there.
    ctx.check(first.poll() is None, "first copy ended when the second was refused")
    still = ui.report(ctx.env, 2000, exe="Setup.exe", text=MSG_SETUP_FILE_MISSING)
    ctx.check(still.done and len(still.windows) == 1, "first box gone: %s" % still.describe())
    dismiss(ctx, "first", "click", MSG_SETUP_FILE_MISSING)
    finish_after_box(ctx, first, "first")
    # With the first copy gone the guard is free again.
    expect_accepted_start(ctx, valid, "after-first-ended")


@case
def platform_family(ctx):
    # No setup file: a launch that goes on to the setup file check shows a box.
    folder = package(ctx, "pkg", with_setup_file=False)
    try:
        # Family 0 (Win32s) ends at once, before the instance guard and the setup file.
        ctx.env.set_windows_version("win31")
        expect_silent_start(ctx, folder, "win31")
        # An NT version goes on to the check, so the setting was what made the difference.
        ctx.env.set_windows_version("winxp")
        expect_refusal(ctx, folder, "winxp", MSG_SETUP_FILE_MISSING, "error")
    finally:
        ctx.env.set_windows_version(None)


@case
def launcher_bitness(ctx):
    # Read from inside the launcher's process (held open by its box): the
    # shipped 32-bit build runs as a WoW64 process, so its WOW64 paths run.
    folder = package(ctx, "pkg", with_setup_file=False)
    process = launch(ctx, folder)
    ctx.require(expect_box(ctx, "box", MSG_SETUP_FILE_MISSING, "error") is not None, "the launcher showed no box")
    menu, result = ui.system_menu(ctx.env, exe="Setup.exe", text=MSG_SETUP_FILE_MISSING)
    if ctx.check(menu is not None, "system menu not read: %s" % result.describe()):
        ctx.check_equal(menu["pointer_bits"], ctx.env.bits, "launcher's pointer size in bits")
        ctx.check_equal(menu["wow64"], ctx.env.bits == 32, "IsWow64Process in the launcher")
    dismiss(ctx, "box", "click", MSG_SETUP_FILE_MISSING)
    finish_after_box(ctx, process, "box")
