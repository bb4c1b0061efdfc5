"""What Windows tells that a plain Wine prefix hides, under Wine set up to show
it: the real version in the log beside the version query's (Wine set to
Windows 10 answers the launcher's version query as Windows does a program
not manifested for it, with 6.2), and Windows protected print mode turned on
by its policy value, which stops the launch before staging, in a box owned
by the page or with exit code 1633."""

import contextlib

from cases_deploy import Launch as QuietLaunch
from cases_deploy import exit_code, log_texts, windows_while_running
from cases_install import Box, Launch, package
from suite import case
from winenv import windows_path

POLICY_KEY = r"HKLM\Software\Policies\Microsoft\Windows NT\Printers\WPP"
POLICY_VALUE = "WindowsProtectedPrintGroupPolicyState"
MSG_PROTECTED = ("Windows protected print mode is on.\nThis PC uses only the printer drivers that come with Windows.\n\n"
                 "Exit the program.")


@contextlib.contextmanager
def windows_version(ctx, version):
    ctx.env.set_windows_version(version)
    try:
        yield
    finally:
        ctx.env.set_windows_version(None)


@contextlib.contextmanager
def protected_print_policy(ctx):
    """The policy "Configure Windows protected print" enabled in the prefix,
    in the registry's 64-bit view, for the block."""
    added = ctx.env.run_wine(["reg", "add", POLICY_KEY, "/v", POLICY_VALUE, "/t", "REG_DWORD", "/d", "1", "/f"])
    ctx.require(added.returncode == 0, "policy value not set: %r" % added)
    try:
        yield
    finally:
        ctx.env.run_wine(["reg", "delete", POLICY_KEY, "/f"])


@case
def log_names_the_real_version(ctx):
    # The query says 6.2 to a program manifested for Windows 7 and 8 only; the
    # log tells support the version it really is.
    folder = package(ctx, "win10")
    log = ctx.folder("win10.log")
    with windows_version(ctx, "win10"):
        launch = QuietLaunch(ctx, "win10", folder, ["/quiet", "/log=" + windows_path(log)])
        ctx.check_equal(exit_code(ctx, launch, "win10"), 0, "win10: exit code")
    texts = log_texts(ctx, log, "win10")
    queried = [text for text in texts if text.startswith("Windows version: ")]
    real = [text for text in texts if text.startswith("Real Windows version: ")]
    ctx.check(queried and queried[0].startswith("Windows version: 6.2."), "win10: queried version: %r" % queried)
    ctx.check(real and real[0].startswith("Real Windows version: 10.0."), "win10: real version: %r" % real)


@case
def protected_print_mode_stops_the_launch(ctx):
    with protected_print_policy(ctx):
        # Window mode: the box after OK, owned by the page, and nothing staged.
        folder = package(ctx, "window")
        launch = Launch(ctx, "window", folder)
        launch.confirm_page(True)
        launch.expect_boxes([Box(MSG_PROTECTED, "error")])
        launch.finish([])
        ctx.check_equal(launch.started(), [], "window: tools started")
        # Quiet mode: 1633, no window, and the log names what told it.
        folder = package(ctx, "quiet")
        log = ctx.folder("quiet.log")
        quiet = QuietLaunch(ctx, "quiet", folder, ["/quiet", "/log=" + windows_path(log)])
        seen = windows_while_running(ctx, quiet)
        ctx.check_equal(exit_code(ctx, quiet, "quiet"), 1633, "quiet: exit code")
        ctx.check_equal(seen, [], "quiet: windows shown")
        ctx.check_equal(quiet.started(), [], "quiet: tools started")
        texts = log_texts(ctx, log, "quiet")
        ctx.check("Windows protected print mode: on (policy value %s)" % POLICY_VALUE in texts,
                  "quiet: log lacks what told it: %r" % texts)
