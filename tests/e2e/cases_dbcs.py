"""The launch folder limit on a double-byte system: the launcher runs with
code page 932 (Japanese) as its ANSI code page, in folders whose names hold
double-byte characters, and the limit counts bytes of that code page, not
characters.

Wine takes a process's ANSI code page from the Unix locale it starts in
(LC_ALL, else LC_CTYPE): ja_JP.UTF-8 gives 932.  The locale must exist in
glibc as well, or the process keeps the C locale, reads the UTF-8 folder names
as ASCII and cannot enter the folder.  So the suite compiles ja_JP.UTF-8 once
into build/e2e/locale (from Debian's locales data, no root needed) and gives
only the launcher and the probe of these cases LC_ALL and LOCPATH: every other
process of the shared prefix, the UI driver included, keeps its code page.

The folder as the launcher reads it is checked from inside, by folder_probe.exe
of the launcher's bitness run in the same folder with the same locale."""

import json
import os
import shutil
import subprocess

from launcher import MSG_FOLDER_TOO_LONG, answer_notice, dismiss, expect_box, find_notice, finish_after_box
from packages import lay_out_package
from suite import Skip, case
from winenv import REPO_ROOT, windows_path

JAPANESE_LOCALE = "ja_JP.UTF-8"
LOCALE_DIR = os.path.join(REPO_ROOT, "build", "e2e", "locale")
LOCALEDEF_TIMEOUT = 120
ANSI_CODE_PAGE = 932
# Double-byte in code page 932, three bytes each in the UTF-8 folder names.  The
# trail byte of 表, ソ and 能 is 0x5C, the backslash: code that walks the
# folder byte by byte looking for separators cuts such names apart.
DOUBLE_BYTE_TEXT = "表ソ日本語能"
LIMIT = 100
# The first window of a process in a new locale may come late on a busy machine
# (Wine sets up that locale's fonts): wait longer than for other windows.
FIRST_WINDOW_TIMEOUT_MS = 60000


def ansi_bytes(text):
    return text.encode("cp932")


def japanese_environment():
    """LC_ALL and LOCPATH that give a Wine process code page 932, with the
    locale compiled on first use.  Skips the case when it cannot be made."""
    compiled = os.path.join(LOCALE_DIR, JAPANESE_LOCALE)
    if not os.path.isfile(os.path.join(compiled, "LC_CTYPE")):
        if not shutil.which("localedef") or not os.path.isdir("/usr/share/i18n/locales"):
            raise Skip("no localedef or glibc locale sources: install Debian's locales (scripts/deps.sh)")
        building = compiled + ".%d" % os.getpid()  # the demo and the suite may build it at once
        shutil.rmtree(building, ignore_errors=True)
        os.makedirs(LOCALE_DIR, exist_ok=True)
        made = subprocess.run(["localedef", "-i", "ja_JP", "-f", "UTF-8", building], stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=LOCALEDEF_TIMEOUT, check=False)
        if not os.path.isfile(os.path.join(building, "LC_CTYPE")):
            raise Skip("localedef could not compile %s: %s" % (JAPANESE_LOCALE, made.stdout.decode(errors="replace")))
        try:
            os.rename(building, compiled)
        except OSError:  # made meanwhile by another run
            shutil.rmtree(building, ignore_errors=True)
    return {"LC_ALL": JAPANESE_LOCALE, "LOCPATH": LOCALE_DIR}


def folder_of_bytes(parent, length, double_bytes, last=""):
    """A folder under parent whose Windows path is exactly length bytes in code
    page 932: double_bytes double-byte characters, single-byte padding, then last."""
    stem = (DOUBLE_BYTE_TEXT * (double_bytes // len(DOUBLE_BYTE_TEXT) + 1))[:double_bytes]
    room = length - len(ansi_bytes(windows_path(parent) + "\\" + stem + last))
    if room < 0:
        raise ValueError("parent %s is too long for a %d-byte folder" % (windows_path(parent), length))
    return os.path.join(parent, stem + "x" * room + last)


def probe_folder(ctx, folder, locale):
    """What GetCurrentDirectoryA gives a program of the launcher's bitness in folder."""
    probe = os.path.join(ctx.env.driver_dir, "folder_probe.exe")
    ctx.require(os.path.isfile(probe), "not built: %s" % probe)
    result = ctx.env.run_wine([probe], cwd=folder, extra_env=locale)
    for line in result.stdout.splitlines():
        if line.startswith("{"):
            return json.loads(line)
    ctx.require(False, "folder probe reported nothing: %r %s" % (result, result.stderr[-500:]))
    return None


def check_folder_as_read(ctx, row, folder, locale, length):
    """The launcher's code page is 932 and the folder is length bytes there,
    with fewer characters than bytes."""
    seen = probe_folder(ctx, folder, locale)
    expected = ansi_bytes(windows_path(folder))
    ctx.require(seen["acp"] == ANSI_CODE_PAGE, "%s: ANSI code page %s, not %d" % (row, seen["acp"], ANSI_CODE_PAGE))
    ctx.check_equal(seen["bytes"], length, "%s: folder bytes in code page 932" % row)
    ctx.check_equal(seen["hex"], expected.hex(), "%s: folder bytes" % row)
    ctx.check_equal(seen["characters"], len(windows_path(folder)), "%s: folder characters" % row)


@case
def launch_folder_double_byte(ctx):
    locale = japanese_environment()
    rows = [
        # (row, bytes, double-byte characters, last characters, accepted?)
        ("bytes-99", LIMIT - 1, 30, "", True),
        # Ends in a character whose trail byte is the backslash.
        ("bytes-100", LIMIT, 30, "ソ", True),
        ("bytes-101", LIMIT + 1, 30, "", False),
        # 60 double-byte characters: more than 100 bytes, well within 100 characters.
        ("sixty-double-byte", None, 60, "", False),
    ]
    for row, length, double_bytes, last, accepted in rows:
        parent = ctx.folder(row)
        if length is None:
            folder = os.path.join(parent, (DOUBLE_BYTE_TEXT * 10)[:double_bytes])
            length = len(ansi_bytes(windows_path(folder)))
        else:
            try:
                folder = folder_of_bytes(parent, length, double_bytes, last)
            except ValueError as reason:
                raise Skip(str(reason))
        # A refused folder is within the limit in characters: only counting bytes refuses it.
        ctx.require(accepted or len(windows_path(folder)) <= LIMIT < length, "%s: %d characters, %d bytes"
                    % (row, len(windows_path(folder)), length))
        lay_out_package(folder, ctx.env.setup_exe)
        check_folder_as_read(ctx, row, folder, locale, length)
        process = ctx.env.spawn(["Setup.exe"], cwd=folder, extra_env=locale)
        if accepted:
            if find_notice(ctx, row, timeout_ms=FIRST_WINDOW_TIMEOUT_MS) is not None:
                answer_notice(ctx, row, "CANCEL")
        elif expect_box(ctx, row, MSG_FOLDER_TOO_LONG, "warning", timeout_ms=FIRST_WINDOW_TIMEOUT_MS) is not None:
            dismiss(ctx, row, "click", MSG_FOLDER_TOO_LONG)
        finish_after_box(ctx, process, row)
