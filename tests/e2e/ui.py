"""Runs the UI driver (uidriver.exe) in the prefix and parses its JSON lines."""

import json

DRIVER_TIMEOUT_MARGIN = 10  # seconds beyond the driver's own bound before it is killed


class DriverResult:
    """The windows the driver reported and the events it printed."""

    def __init__(self, run):
        self.run = run
        self.windows = []
        self.events = []
        for text in run.stdout.splitlines():
            text = text.strip()
            if not text.startswith("{"):
                continue
            try:
                record = json.loads(text)
            except ValueError:
                self.events.append({"event": "unparsed", "text": text})
                continue
            (self.windows if record.get("event") == "window" else self.events).append(record)

    @property
    def done(self):
        return not self.run.timed_out and self.run.returncode == 0

    def describe(self):
        return "driver rc=%s timed_out=%s events=%s windows=%s%s" % (
            self.run.returncode, self.run.timed_out, self.events, summarize(self.windows),
            " stderr=%r" % self.run.stderr.strip()[-500:] if self.run.stderr.strip() else "")


def summarize(windows):
    return [(w.get("exe"), w.get("class"), w.get("caption"), w.get("message")) for w in windows]


def drive(env, action, timeout_ms=10000, **filters):
    """Runs one driver action; filters are exe, class_name, caption, text, count,
    button, command_id, vk.  Returns a DriverResult."""
    names = {"exe": "--exe", "class_name": "--class", "caption": "--caption", "text": "--text",
             "count": "--count", "button": "--button", "command_id": "--id", "vk": "--vk"}
    args = [env.driver(), action, "--timeout", str(timeout_ms)]
    for key, value in filters.items():
        if value is not None:
            args += [names[key], str(value)]
    run = env.run_wine(args, timeout=timeout_ms / 1000.0 + DRIVER_TIMEOUT_MARGIN)
    if run.returncode == 1 and not run.stdout.strip() and not run.stderr.strip():
        # Seen about once in a few hundred runs: wine64 ends with 1 and says
        # nothing, the driver never having run (it prints before any end).
        # Once more, then; a driver that did run always prints.
        run = env.run_wine(args, timeout=timeout_ms / 1000.0 + DRIVER_TIMEOUT_MARGIN)
    return DriverResult(run)


def report(env, timeout_ms=10000, **filters):
    return drive(env, "report", timeout_ms, **filters)


def click(env, button, timeout_ms=10000, **filters):
    return drive(env, "click", timeout_ms, button=button, **filters)


def command(env, command_id, timeout_ms=10000, **filters):
    return drive(env, "command", timeout_ms, command_id=command_id, **filters)


def key(env, vk, timeout_ms=10000, **filters):
    return drive(env, "key", timeout_ms, vk=vk, **filters)


def syscommand(env, command_id, timeout_ms=10000, **filters):
    """Posts WM_SYSCOMMAND command_id (SC_CLOSE: the close box) to the window."""
    return drive(env, "syscommand", timeout_ms, command_id=command_id, **filters)


def system_menu(env, timeout_ms=10000, icon_id=0, **filters):
    """The window's system menu, read inside its process: the driver's
    system_menu event ({"wow64", "pointer_bits", "class_icon_is_resource" (of
    icon resource icon_id), "items": [{"id", "text", "state"}]}) or None, with
    the DriverResult."""
    result = drive(env, "sysmenu", timeout_ms, command_id=icon_id, **filters)
    menus = [event for event in result.events if event.get("event") == "system_menu"]
    return (menus[0] if menus else None), result


def ping(env, timeout_ms=10000, **filters):
    """Sends the window WM_NULL as a hang check does (SMTO_ABORTIFHUNG, 1 s):
    the driver's ping event ({"answered", "milliseconds", "enabled"}) or None,
    with the DriverResult."""
    result = drive(env, "ping", timeout_ms, **filters)
    pings = [event for event in result.events if event.get("event") == "ping"]
    return (pings[0] if pings else None), result


def gone(env, timeout_ms=10000, **filters):
    return drive(env, "gone", timeout_ms, **filters)


def list_windows(env, **filters):
    return drive(env, "list", 1000, **filters)
