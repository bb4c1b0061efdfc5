"""The case framework: a registry of named cases, the context each case gets
(environment, scratch folder, screenshots, checks), and the runner that prints
one line per case and the summary line."""

import os
import shutil
import tempfile
import time
import traceback

from winenv import REPO_ROOT

# Packages are laid out under a short folder of their own, outside the clone,
# so that the launch folder limit (100 bytes) does not depend on where the
# clone lies.  Not $TMPDIR: that may be long as well.
SCRATCH_PARENT = "/tmp"
SHOTS_ROOT = os.path.join(REPO_ROOT, "out", "e2e")

CASES = []


class Skip(Exception):
    """Raised by a case that cannot run here; it is counted as skipped."""


class CaseFailed(Exception):
    """Raised by require(): the case cannot go on."""


def case(function=None, once=False):
    """Registers function(ctx) as a case named after it.  A case marked once
    (one that does not run the launcher) runs with the main build only; the
    others run with every build of the run."""
    def register(function):
        function.once = once
        CASES.append(function)
        return function
    return register(function) if function is not None else register


class Context:
    """What a case works with, and the record of what it found wrong."""

    def __init__(self, env, name):
        self.env = env
        self.name = name
        self.failures = []
        self.notes = []  # printed under the case's line, passed or not
        self.scratch = make_scratch()
        self.shots_dir = os.path.join(SHOTS_ROOT, name)
        self.shots = 0
        shutil.rmtree(self.shots_dir, ignore_errors=True)

    def check(self, condition, message):
        """Records a failure and carries on."""
        if not condition:
            self.failures.append(message)
        return bool(condition)

    def check_equal(self, actual, expected, what):
        return self.check(actual == expected, "%s: expected %r, got %r" % (what, expected, actual))

    def require(self, condition, message):
        """Records a failure and ends the case."""
        if not condition:
            self.failures.append(message)
            raise CaseFailed(message)

    def note(self, text):
        """Records what the case saw, for the run's output."""
        self.notes.append(text)

    def screenshot(self, step):
        """Saves the screen for this step under out/e2e/<case>/."""
        self.shots += 1
        path = os.path.join(self.shots_dir, "%02d-%s.png" % (self.shots, step))
        return path if self.env.screenshot(path) else None

    def folder(self, name):
        return os.path.join(self.scratch, name)


def make_scratch():
    """A new empty folder such as /tmp/e2e-k2x9q1 (Z:\\tmp\\e2e-k2x9q1, 17 characters)."""
    return tempfile.mkdtemp(prefix="e2e-", dir=SCRATCH_PARENT)


def run_cases(env, selected, keep=False, log=print, label=""):
    """Runs the selected cases; returns (passed, failed, skipped).  A label
    (the build's name) is added to the names of the cases and their screenshots."""
    passed = failed = skipped = 0
    for function in selected:
        started = time.monotonic()
        ctx = Context(env, function.__name__ + label)
        outcome, detail = run_one(function, ctx)
        if outcome == "fail":
            ctx.screenshot("at-failure")  # before anything left on screen is killed
            if env.xvfb is not None and env.xvfb.poll() is not None:
                detail += "\n       - the virtual display has ended (exit %s): see %s" % (
                    env.xvfb.returncode, env.xvfb_log)
        env.kill_live()
        seconds = time.monotonic() - started
        if keep:
            detail += "  (packages kept in %s)" % ctx.scratch
        else:
            shutil.rmtree(ctx.scratch, ignore_errors=True)
        if outcome == "ok":
            passed += 1
            if not keep:
                shutil.rmtree(ctx.shots_dir, ignore_errors=True)
        elif outcome == "skip":
            skipped += 1
        else:
            failed += 1
        log("%-4s %-40s %5.1fs%s" % (outcome.upper(), ctx.name, seconds, detail))
        for text in ctx.notes:
            log("       . %s" % text)
    return passed, failed, skipped


def run_one(function, ctx):
    try:
        function(ctx)
    except Skip as reason:
        return "skip", "  (%s)" % reason
    except CaseFailed:
        pass
    except Exception:  # a broken case is a failed case, with its trace
        ctx.failures.append(traceback.format_exc())
    if not ctx.failures:
        return "ok", ""
    return "fail", "".join("\n       - %s" % text.replace("\n", "\n         ") for text in ctx.failures)
