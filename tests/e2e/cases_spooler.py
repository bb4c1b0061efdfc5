"""The prefix's spooler with the stand-in "Standard TCP/IP Port" monitor
(tools/tcp_monitor.cpp), which winenv.py registers when it makes the prefix,
as the launcher's cases of the network printer meet it: spooler() runs
spooler_probe.exe, spooler_list() reads what the spooler lists,
seeded_driver() lends a printer driver for a block, tcpmon_env() and
read_tcpmon_log() give and read the monitor's log of every XcvData call."""

import contextlib
import json
import os

from cases_install import read_records
from winenv import SPOOLER_PROBE, windows_path

ENVIRONMENTS = ("Windows x64", "Windows NT x86")


def spooler(ctx, *args):
    """Runs spooler_probe.exe with args; returns its JSON lines by event name
    ("drivers" lines by "drivers <environment>"), and the RunResult."""
    result = ctx.env.run_wine([ctx.env.tool(SPOOLER_PROBE)] + list(args), cwd=ctx.scratch)
    lines = [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]
    ctx.require(lines, "spooler_probe %s printed nothing: %r\n%s" % (" ".join(args), result, result.stderr[-1000:]))
    return {" ".join([line["event"]] + ([line["environment"]] if line["event"] == "drivers" else [])): line
            for line in lines}, result


def spooler_list(ctx):
    """What the spooler lists now: printers (name -> (port, driver)), ports
    (name -> monitor), drivers per environment, monitors (name -> DLL)."""
    lines, _ = spooler(ctx, "list")
    ctx.require(all(line.get("ok") for line in lines.values()), "spooler_probe list failed: %r" % lines)
    return {
        "printers": {item["name"]: (item["port"], item["driver"]) for item in lines["printers"]["printers"]},
        "ports": {item["name"]: item["monitor"] for item in lines["ports"]["ports"]},
        "drivers": {environment: sorted(item["name"] for item in lines["drivers " + environment]["drivers"])
                    for environment in ENVIRONMENTS},
        "monitors": {item["name"]: item["dll"] for item in lines["monitors"]["monitors"]},
    }


@contextlib.contextmanager
def seeded_driver(ctx, name):
    """A printer driver name for both environments (Wine's AddPrinter looks
    the driver up in the caller's own), removed again after the block."""
    for environment in ENVIRONMENTS:
        lines, _ = spooler(ctx, "seed-driver", name, environment)
        ctx.require(lines["seed-driver"]["ok"], "driver %s not seeded for %s: %r" % (name, environment, lines))
    try:
        yield name
    finally:
        for environment in ENVIRONMENTS:
            spooler(ctx, "delete-driver", name, environment)


def tcpmon_env(ctx, **values):
    """E2E_TCPMON_* variables for one run, with a fresh monitor log; returns (env, log path)."""
    log = ctx.folder("tcpmon-%d.log" % len(os.listdir(ctx.scratch)))
    env = {"E2E_TCPMON_LOG": windows_path(log)}
    env.update({"E2E_TCPMON_" + name: str(value) for name, value in values.items()})
    return env, log


def read_tcpmon_log(path):
    """The monitor's records: xcv_open, xcv_data and xcv_close lines."""
    return read_records(path)


def xcv_data(records, name):
    return [record for record in records if record["event"] == "xcv_data" and record["name"] == name]
