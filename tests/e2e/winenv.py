"""The Wine environment the end-to-end cases run in: a throwaway prefix under
build/e2e/prefix and a private Xvfb display, both made once per run, shared by
every case and torn down (only what this module started) however the run ends.

Every wait is bounded: each subprocess call has a timeout and is killed, with
its whole process group, when the timeout passes.
"""

import atexit
import os
import select
import shutil
import signal
import subprocess
import time

WINE_LOADER = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
WINE_FONTS_DIR = "/usr/share/wine/fonts"

REPO_ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# A run beside the usual one names its own prefix (E2E_PREFIX) and the folder
# whose win64 and win32 builds give the suite's programs (E2E_TOOLS_TREE).
TOOLS_TREE = os.path.abspath(os.environ.get("E2E_TOOLS_TREE") or os.path.join(REPO_ROOT, "build"))
DEFAULT_TOOLS_DIR = os.path.join(TOOLS_TREE, "win64", "e2e")
WOW64_TOOLS_DIR = os.path.join(TOOLS_TREE, "win32", "e2e")
DEFAULT_SETUP_EXE = os.path.join(REPO_ROOT, "build", "win64", "Setup.exe")
PREFIX_DIR = os.path.abspath(os.environ.get("E2E_PREFIX") or os.path.join(REPO_ROOT, "build", "e2e", "prefix"))

TOOL_PROGRAMS = ("pnputil.exe", "rundll32.exe", "printer_count.exe", "run_probe.exe",
                 "spooler_probe.exe", "e2e_tcpmon.dll")  # 64-bit
DRIVER_PROGRAMS = ("uidriver.exe", "e2e_hook.dll")  # of the launcher's bitness
# The stand-ins go into the 64-bit system32 only: 64-bit Windows has no
# pnputil.exe in SysWOW64, so a 32-bit launcher reaches them only by turning
# file system redirection off.
SYSTEM_TOOLS = ("pnputil.exe", "rundll32.exe")
# The stand-in "Standard TCP/IP Port" monitor (tools/tcp_monitor.cpp): the
# spooler loads it into the calling process, so system32 gets the 64-bit build
# and SysWOW64 the 32-bit one; spooler_probe.exe registers it.
TCP_MONITOR_DLL = "e2e_tcpmon.dll"
SPOOLER_PROBE = "spooler_probe.exe"

XVFB_START_TIMEOUT = 15
WINEBOOT_TIMEOUT = 120
SHORT_TIMEOUT = 30

# Settings every case relies on: no window manager so no 2 s wait when a window
# closes, crashing processes exit at once, and our rundll32 stand-in is used.
PREFIX_SETTINGS_REG = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=""
"Auto"="1"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"rundll32.exe"="native"
"mscoree"=""
"mshtml"=""
"""


class EnvError(Exception):
    """The environment could not be made or a program is missing."""


class RunResult:
    """What a finished (or killed) process left: exit status, output, timing."""

    def __init__(self, returncode, stdout, stderr, timed_out, seconds):
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr
        self.timed_out = timed_out
        self.seconds = seconds

    def __repr__(self):
        return "RunResult(rc=%r, timed_out=%r, %.2fs)" % (self.returncode, self.timed_out, self.seconds)


def windows_path(unix_path):
    """The Windows form Wine gives a unix path: drive Z: is the unix root."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def kill_group(process):
    """Kills a process started in its own session, with everything in its group."""
    if process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        pass


def read_text(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as handle:
            return handle.read()
    except OSError:
        return ""


def finish_process(process, timeout):
    """Waits up to timeout for process; kills it on timeout.  Returns a RunResult.

    Output goes to files, not pipes: Wine hands the pipes on to the helper
    processes it starts (explorer, rpcss), so end of file would never come."""
    timed_out = False
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        timed_out = True
        kill_group(process)
    for handle in (process.e2e_stdout, process.e2e_stderr):
        handle.close()
    return RunResult(process.returncode, read_text(process.e2e_stdout.name), read_text(process.e2e_stderr.name),
                     timed_out, time.monotonic() - process.e2e_started)


class WineEnv:
    """One prefix, one Xvfb, shared by all cases of a run."""

    def __init__(self, setup_exe=DEFAULT_SETUP_EXE, tools_dir=DEFAULT_TOOLS_DIR, prefix=PREFIX_DIR,
                 resolution="1024x768x24", display=None, driver_dir=None, wow64=False,
                 wow64_tools_dir=WOW64_TOOLS_DIR):
        self.setup_exe = setup_exe
        self.tools_dir = tools_dir
        self.wow64_tools_dir = wow64_tools_dir  # the 32-bit build's programs: its monitor goes into SysWOW64
        self.driver_dir = driver_dir or tools_dir
        self.bits = 64
        self.needs_wow64 = wow64  # some launcher run is 32-bit: the prefix needs syswow64
        self.prefix = prefix
        self.resolution = resolution
        self.display = display  # given: use that display; None: start our own Xvfb
        self.xvfb = None
        self.wineserver_started = False
        self.live = []  # processes started by spawn and not yet finished
        self.spawned = 0
        self.log_dir = prefix.rstrip("/") + "-logs"  # one per prefix: the demo and the suite may overlap
        self.xvfb_log = prefix.rstrip("/") + "-xvfb.log"
        self.closed = False

    # --- making it -----------------------------------------------------------

    def use(self, setup_exe, driver_dir, bits):
        """Runs setup_exe (a bits-bit build) from now on, with the UI driver (and
        hook) of driver_dir."""
        self.setup_exe = setup_exe
        self.driver_dir = driver_dir
        self.bits = bits
        self.check_programs()

    def check_programs(self):
        """Fails clearly when the launcher or one of the suite's programs is not built."""
        missing = [self.setup_exe] if not os.path.isfile(self.setup_exe) else []
        missing += [os.path.join(self.tools_dir, name) for name in TOOL_PROGRAMS
                    if not os.path.isfile(os.path.join(self.tools_dir, name))]
        missing += [os.path.join(self.driver_dir, name) for name in DRIVER_PROGRAMS
                    if not os.path.isfile(os.path.join(self.driver_dir, name))]
        if missing:
            raise EnvError("not built: %s\nbuild first: bash scripts/build.sh win32 win64" % ", ".join(missing))
        if not os.access(WINE_LOADER, os.X_OK):
            raise EnvError("wine loader not found at %s" % WINE_LOADER)

    def start(self):
        self.check_programs()
        install_cleanup(self)
        if self.display is None:
            self.start_xvfb()
        self.make_prefix()

    def start_xvfb(self):
        """Starts Xvfb on a free display number it picks itself (-displayfd).

        Xvfb writes the number and then a newline in a second write; the pipe
        must stay open until the newline has come, or that write fails and Xvfb
        dies ("Cannot write display number"), taking every later window with it."""
        read_end, write_end = os.pipe()
        os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
        try:
            with open(self.xvfb_log, "w") as log:
                self.xvfb = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(write_end), "-noreset", "-screen", "0", self.resolution,
                     "-nolisten", "tcp"],
                    pass_fds=(write_end,), stdout=log, stderr=log, start_new_session=True)
            os.close(write_end)
            write_end = None
            number = read_display_number(read_end, XVFB_START_TIMEOUT)
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        if not number.isdigit():
            raise EnvError("Xvfb did not report a display within %d s" % XVFB_START_TIMEOUT)
        self.display = ":" + number

    def base_environment(self):
        env = dict(os.environ)
        env.update({
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "WINESERVER": WINESERVER,
            "DISPLAY": self.display,
            "WINEARCH": "win64",
        })
        for name in list(env):
            if name.startswith("E2E_"):
                del env[name]
        return env

    def make_prefix(self):
        """A fresh prefix for this run: boot it, apply the settings, install the tools."""
        if os.path.isdir(self.prefix):
            stop_wineserver(self.prefix, self.base_environment())
            shutil.rmtree(self.prefix)
        os.makedirs(self.prefix)
        shutil.rmtree(self.log_dir, ignore_errors=True)
        os.makedirs(self.log_dir)
        # A persistent server of our own, so cases do not pay for its start.
        self.wineserver_started = True
        run_checked([WINESERVER, "-p"], self.base_environment(), SHORT_TIMEOUT, "wineserver -p")
        result = self.run_wine(["wineboot", "-i"], timeout=WINEBOOT_TIMEOUT)
        if result.returncode != 0:
            raise EnvError("wineboot failed: %r\n%s" % (result, result.stderr[-2000:]))
        if self.needs_wow64 and not os.path.isfile(os.path.join(self.prefix, "drive_c", "windows", "syswow64",
                                                                 "kernel32.dll")):
            raise EnvError("the prefix has no 32-bit system (syswow64): is wine32:i386 installed?")
        self.apply_settings()
        self.install_fonts()
        self.install_system_tools()
        self.install_tcp_monitor()
        self.warm_up()

    def apply_settings(self):
        reg_file = os.path.join(os.path.dirname(self.prefix), "settings.reg")
        with open(reg_file, "w", encoding="ascii") as handle:
            handle.write(PREFIX_SETTINGS_REG)
        result = self.run_wine(["regedit", "/S", windows_path(reg_file)], timeout=SHORT_TIMEOUT)
        if result.returncode != 0:
            raise EnvError("regedit failed: %r" % result)

    def install_fonts(self):
        """Wine's own fonts (Debian's fonts-wine), Marlett among them for the
        caption buttons, into the prefix's Fonts folder: this Wine looks for
        them beside its DLLs, where Debian does not put them."""
        fonts = os.path.join(self.prefix, "drive_c", "windows", "Fonts")
        if not os.path.isdir(WINE_FONTS_DIR):
            return
        os.makedirs(fonts, exist_ok=True)
        for name in os.listdir(WINE_FONTS_DIR):
            if name.endswith(".ttf"):
                shutil.copyfile(os.path.join(WINE_FONTS_DIR, name), os.path.join(fonts, name))

    def install_system_tools(self):
        system32 = os.path.join(self.prefix, "drive_c", "windows", "system32")
        for name in SYSTEM_TOOLS:
            shutil.copyfile(os.path.join(self.tools_dir, name), os.path.join(system32, name))

    # --- the stand-in TCP/IP port monitor --------------------------------------

    def has_wow64(self):
        """True when the prefix has a 32-bit system (Debian's wine32:i386 made it)."""
        return os.path.isfile(os.path.join(self.prefix, "drive_c", "windows", "syswow64", "kernel32.dll"))

    def install_tcp_monitor(self):
        """Copies the monitor into system32 (and SysWOW64, where the prefix has
        one) and registers it with the spooler, once for the prefix."""
        windows = os.path.join(self.prefix, "drive_c", "windows")
        shutil.copyfile(self.tool(TCP_MONITOR_DLL), os.path.join(windows, "system32", TCP_MONITOR_DLL))
        monitor32 = os.path.join(self.wow64_tools_dir, TCP_MONITOR_DLL)
        if self.has_wow64() and os.path.isfile(monitor32):
            shutil.copyfile(monitor32, os.path.join(windows, "syswow64", TCP_MONITOR_DLL))
        elif self.needs_wow64:
            raise EnvError("not built: %s\nbuild first: bash scripts/build.sh win32 win64" % monitor32)
        result = self.run_wine([self.tool(SPOOLER_PROBE), "add-monitor"], timeout=SHORT_TIMEOUT)
        if result.returncode != 0:
            raise EnvError("could not register the TCP/IP port monitor: %r\n%s" % (result, result.stdout))

    def warm_up(self):
        """The first GUI process after boot waits for services that are still
        starting; one throwaway run here keeps that wait out of the cases."""
        self.run_wine([self.driver(), "list", "--exe", "none.exe"], timeout=SHORT_TIMEOUT)

    # --- running things in it ------------------------------------------------

    def tool(self, name):
        return os.path.join(self.tools_dir, name)

    def driver(self):
        """The UI driver of the launcher's bitness."""
        return os.path.join(self.driver_dir, "uidriver.exe")

    def environment(self, extra=None):
        env = self.base_environment()
        env.update(extra or {})
        return env

    def spawn(self, args, cwd=None, extra_env=None):
        """Starts wine64 with args in its own process group; finish it with finish()."""
        self.spawned += 1
        base = os.path.join(self.log_dir, "%04d" % self.spawned)
        stdout = open(base + ".out", "w+")
        stderr = open(base + ".err", "w+")
        process = subprocess.Popen([WINE_LOADER] + list(args), cwd=cwd or REPO_ROOT,
                                   env=self.environment(extra_env), stdin=subprocess.DEVNULL,
                                   stdout=stdout, stderr=stderr, start_new_session=True)
        process.e2e_started = time.monotonic()
        process.e2e_stdout = stdout
        process.e2e_stderr = stderr
        self.live.append(process)
        return process

    def finish(self, process, timeout):
        """Waits (bounded) for a spawned process; kills it on timeout."""
        try:
            return finish_process(process, timeout)
        finally:
            if process in self.live:
                self.live.remove(process)

    def run_wine(self, args, cwd=None, extra_env=None, timeout=SHORT_TIMEOUT):
        return self.finish(self.spawn(args, cwd, extra_env), timeout)

    def set_windows_version(self, version):
        """Sets the prefix's Windows version (win31 ... win10); None restores the default."""
        if version is None:
            args = ["reg", "delete", r"HKCU\Software\Wine", "/v", "Version", "/f"]
        else:
            args = ["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/t", "REG_SZ", "/d", version, "/f"]
        result = self.run_wine(args, timeout=SHORT_TIMEOUT)
        if version is not None and result.returncode != 0:
            raise EnvError("could not set Windows version %s: %r" % (version, result))

    def screenshot(self, path, rect=None):
        """Saves the virtual screen, or only rect (x, y, width, height) of it, as
        a PNG; returns True when it was written."""
        os.makedirs(os.path.dirname(path), exist_ok=True)
        crop = ["-crop", "%dx%d+%d+%d" % (rect[2], rect[3], rect[0], rect[1]), "+repage"] if rect else []
        try:
            subprocess.run(["import", "-window", "root", "-display", self.display] + crop + [path],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=SHORT_TIMEOUT,
                           check=False)
        except subprocess.TimeoutExpired:
            return False
        return os.path.isfile(path)

    def kill_live(self):
        """Kills whatever a case started and left running."""
        for process in list(self.live):
            kill_group(process)
            self.finish(process, 1)

    # --- tearing it down -----------------------------------------------------

    def close(self):
        if self.closed:
            return
        self.closed = True
        self.kill_live()
        if self.wineserver_started:
            stop_wineserver(self.prefix, self.base_environment())
        if self.xvfb is not None:
            stop_xvfb(self.xvfb)


def read_display_number(fd, timeout):
    """Reads Xvfb's "N\n" from fd, waiting at most timeout seconds in all."""
    deadline = time.monotonic() + timeout
    text = b""
    while b"\n" not in text:
        left = deadline - time.monotonic()
        ready, _, _ = select.select([fd], [], [], max(left, 0))
        if not ready:
            break
        chunk = os.read(fd, 32)
        if not chunk:
            break
        text += chunk
    return text.decode(errors="replace").strip()


def stop_xvfb(process):
    """Asks our Xvfb to end, so it removes its lock file and socket; kills it
    when it does not end within a few seconds."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pass
    kill_group(process)


def run_checked(args, env, timeout, what):
    try:
        # No pipes: a daemon keeps inherited ones open and the wait would never end.
        result = subprocess.run(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                timeout=timeout, check=False, start_new_session=True)
    except subprocess.TimeoutExpired:
        raise EnvError("%s timed out" % what)
    if result.returncode != 0:
        raise EnvError("%s failed with %d" % (what, result.returncode))


def stop_wineserver(prefix, env):
    """Ends the wineserver of this prefix only, and with it every process in it."""
    env = dict(env, WINEPREFIX=prefix)
    # -k kills, -w waits until that server is really gone (both bounded).
    for flag in ("-k", "-w"):
        try:
            subprocess.run([WINESERVER, flag], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=SHORT_TIMEOUT, check=False)
        except subprocess.TimeoutExpired:
            pass


def install_cleanup(env):
    """Closes env at interpreter exit and on SIGINT/SIGTERM/SIGHUP."""
    atexit.register(env.close)

    def on_signal(number, _frame):
        env.close()
        raise SystemExit(128 + number)

    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, on_signal)
