"""Launchers of two product families side by side: the build under test, of
another brand (the tree E2E_BUILD_TREE names), and the default brand's build
in build/ each take their own single-instance guard, so both show their
notice at once; each window bears its own brand's title."""

import os

import packages
import ui
from brand import BRAND, load, tree
from launcher import DIALOG_CLASS, NOTICE_MARK, finish_after_box, launch
from suite import Skip, case
from winenv import REPO_ROOT

DEFAULT_TREE = os.path.join(REPO_ROOT, "build")


@case
def brands_side_by_side(ctx):
    if os.path.realpath(tree()) == os.path.realpath(DEFAULT_TREE):
        raise Skip("the builds under test are the default brand's")
    build = "win32" if ctx.env.bits == 32 else "win64"
    default_exe = os.path.join(DEFAULT_TREE, build, "Setup.exe")
    default = load(os.path.join(DEFAULT_TREE, build))
    ctx.require(os.path.isfile(default_exe), "no default build at %s" % default_exe)
    ctx.require(default["title"] != BRAND["title"] and default["mutex"] != BRAND["mutex"],
                "the brand under test shares the default's title or mutex")
    ours = launch(ctx, packages.lay_out_package(ctx.folder("ours"), ctx.env.setup_exe))
    theirs = launch(ctx, packages.lay_out_package(ctx.folder("theirs"), default_exe))
    for title in (BRAND["title"], default["title"]):
        shown = ui.report(ctx.env, 15000, exe="Setup.exe", class_name=DIALOG_CLASS, caption=title, text=NOTICE_MARK)
        ctx.check(shown.done and len(shown.windows) == 1, "no notice titled %r; %s" % (title, shown.describe()))
    for title, process in ((BRAND["title"], ours), (default["title"], theirs)):
        answered = ui.click(ctx.env, "CANCEL", exe="Setup.exe", class_name=DIALOG_CLASS, caption=title,
                            text=NOTICE_MARK)
        ctx.check(answered.done, "notice %r not answered; %s" % (title, answered.describe()))
        finish_after_box(ctx, process, title)
