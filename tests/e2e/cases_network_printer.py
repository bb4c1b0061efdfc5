"""A network printer with nobody at the screen, under Wine: the real Setup.exe
against Wine's own spooler, with our stand-in "Standard TCP/IP Port" monitor
registered in the prefix (tools/tcp_monitor.cpp, which logs every XcvData call
with its bytes).  Wine's winspool has no InstallPrinterDriverFromPackage, so
the rows that set a printer up first seed the sample's driver with
AddPrinterDriverEx (for both environments: Wine's AddPrinter looks the driver
up in the caller's own); one row leaves it out and must end with 1603.  Every
row reads the exit code through run_probe.exe, the spooler through
spooler_probe.exe, and leaves the shared prefix as it found it."""

import os

from cases_deploy import Launch, check_in_order, exit_code, log_texts
from cases_install import package
from cases_spooler import read_tcpmon_log, seeded_driver, spooler, spooler_list, tcpmon_env, xcv_data
from cases_uninstall import clear_published, inf_folder, published
from suite import case
from winenv import windows_path

MODEL = "ZEMBRIX VQ-2200 Series"
OTHER_MODEL = "ZEMBRIX VQ-2300 Series"
PRINTER = "E2E Floor 2 VQ"
SHARED = "E2E Floor 2 VQ Copy"
LPR_PRINTER = "E2E LPR VQ"
PRINTERS = (PRINTER, SHARED, LPR_PRINTER, "E2E Refused", "E2E Two Models")
PORT_OF = {"10.0.0.5": "IP_10.0.0.5", "10.0.0.6": "IP_10.0.0.6"}
PORTS = ("IP_10.0.0.5", "IP_10.0.0.6", "IP_10.0.0.7", "IP_printer-lpr.example")


def run(ctx, row, folder, arguments, tools=None):
    """Setup.exe /quiet with arguments and a log; returns (exit code, log texts, monitor records)."""
    log = ctx.folder(row + ".log")
    env, monitor_log = tcpmon_env(ctx, **(tools or {}))
    launch = Launch(ctx, row, folder, ["/quiet"] + arguments + ["/log=" + windows_path(log)], env)
    code = exit_code(ctx, launch, row)
    return code, log_texts(ctx, log, row), read_tcpmon_log(monitor_log), launch


def quoted(switch, value):
    """/switch="value": run_probe passes the arguments on as written."""
    return '/%s="%s"' % (switch, value)


def printer_arguments(name, host, *more):
    return [quoted("printer", name), "/port=" + host] + list(more)


def sample_inf(folder, name="VQ2200.INF"):
    with open(os.path.join(folder, name), "rb") as handle:
        return handle.read()


def check_port_record(ctx, row, records, expected):
    """The one AddPort the monitor got: the whole PORT_DATA_1, its fields as expected."""
    added = xcv_data(records, "AddPort")
    if not ctx.check(len(added) == 1, "%s: AddPort calls: %r" % (row, added)):
        return
    ctx.check_equal(added[0]["cb_input"], 964, "%s: AddPort bytes" % row)
    data = added[0].get("port_data", {})
    ctx.check_equal({key: data.get(key) for key in expected}, expected, "%s: PORT_DATA_1" % row)


def two_models_package(ctx, row):
    """The sample with a second model in every models section."""
    folder = package(ctx, row)
    path = os.path.join(folder, "VQ2200.INF")
    with open(path, encoding="latin-1") as handle:
        text = handle.read()
    line = '"%s"=VQ2200,USBPRINT\\ZembrixVQ-2200\n' % MODEL
    text = text.replace(line, line + '"%s"=VQ2200,USBPRINT\\ZembrixVQ-2300\n' % OTHER_MODEL)
    with open(path, "w", encoding="latin-1", newline="") as handle:
        handle.write(text)
    return folder


def set_up_rows(ctx):
    folder = package(ctx, "printer")
    rows = [
        # (row, arguments, monitor settings, exit code, the printer then (port, driver), log lines, AddPort fields)
        ("add", printer_arguments(PRINTER, "10.0.0.5"), {}, 0, (PORT_OF["10.0.0.5"], MODEL),
         ["Platform: ", "Model: \"%s\" (the INF's only model" % MODEL, "Network printer: ",
          "Driver: \"%s\" is installed" % MODEL, "Port: IP_10.0.0.5 added", "Queue: \"%s\" added" % PRINTER,
          "Verified: ", "Exit code 0"],
         {"port_name": "IP_10.0.0.5", "version": 1, "protocol": 1, "cb_size": 964, "host_address": "10.0.0.5",
          "port_number": 9100, "snmp_enabled": 0, "queue": ""}),
        ("again", printer_arguments(PRINTER, "10.0.0.5"), {}, 0, (PORT_OF["10.0.0.5"], MODEL),
         ["Port: IP_10.0.0.5 is there: reused", "Queue: \"%s\" is already set up" % PRINTER, "Exit code 0"], None),
        ("moved", printer_arguments(PRINTER, "10.0.0.6"), {}, 0, (PORT_OF["10.0.0.6"], MODEL),
         ["Port: IP_10.0.0.6 added", "Queue: \"%s\" changed from port IP_10.0.0.5" % PRINTER, "Exit code 0"], {}),
        ("lpr-snmp", printer_arguments(LPR_PRINTER, "printer-lpr.example", "/lpr=PASSTHRU", "/snmp=public"), {},
         0, ("IP_printer-lpr.example", MODEL), ["Port: IP_printer-lpr.example added", "Exit code 0"],
         {"protocol": 2, "queue": "PASSTHRU", "port_number": 515, "snmp_enabled": 1, "snmp_community": "public",
          "snmp_device_index": 1}),
        ("refused", printer_arguments("E2E Refused", "10.0.0.7"), {"ADDPORT_STATUS": 5}, 1603, None,
         ["Port failed: XcvDataW AddPort (error 5,", "Exit code 1603"], {"port_name": "IP_10.0.0.7"}),
    ]
    for row, arguments, tools, expected, printer, lines, port_fields in rows:
        code, texts, records, _ = run(ctx, row, folder, arguments, tools)
        ctx.check_equal(code, expected, "%s: exit code" % row)
        check_in_order(ctx, texts, lines, row)
        if port_fields is None:
            ctx.check_equal(xcv_data(records, "AddPort"), [], "%s: AddPort sent" % row)
        elif port_fields:
            check_port_record(ctx, row, records, port_fields)
        name = arguments[0].split("=", 1)[1].strip('"')
        ctx.check_equal(spooler_list(ctx)["printers"].get(name), printer, "%s: the spooler's printer" % row)


def model_rows(ctx):
    folder = two_models_package(ctx, "two-models")
    rows = [
        # (row, arguments, exit code, staged, log lines)
        ("no-model", printer_arguments("E2E Two Models", "10.0.0.5"), 1639, False,
         ["Model: the INF offers \"%s\", \"%s\" for " % (MODEL, OTHER_MODEL), "Exit code 1639"]),
        ("unknown-model", printer_arguments("E2E Two Models", "10.0.0.5", quoted("model", "ZEMBRIX VQ-9 Series")), 1639,
         False, ["Model: the INF offers no \"ZEMBRIX VQ-9 Series\"", "Exit code 1639"]),
        ("model", printer_arguments("E2E Two Models", "10.0.0.5", quoted("model", MODEL)), 0, True,
         ["Model: \"%s\" (given with /model)" % MODEL, "Exit code 0"]),
    ]
    for row, arguments, expected, staged, lines in rows:
        code, texts, _, launch = run(ctx, row, folder, arguments)
        ctx.check_equal(code, expected, "%s: exit code" % row)
        check_in_order(ctx, texts, lines, row)
        ctx.check_equal(bool(launch.started()), staged, "%s: staging tool started" % row)


def bad_command_lines(ctx):
    folder = package(ctx, "bad")
    rows = [
        ("printer-alone", [quoted("printer", PRINTER)]),
        ("port-alone", ["/port=10.0.0.5"]),
        ("comma", printer_arguments("E2E, Floor 2", "10.0.0.5")),
        ("host", printer_arguments(PRINTER, "10.0.0.5:9100")),
        ("port-number", printer_arguments(PRINTER, "10.0.0.5", "/portnumber=65536")),
        ("uninstall-port", ["/uninstall", quoted("printer", PRINTER), "/port=10.0.0.5"]),
    ]
    for row, arguments in rows:
        code, texts, records, launch = run(ctx, row, folder, arguments)
        ctx.check_equal(code, 1639, "%s: exit code" % row)
        check_in_order(ctx, texts, ["Exit code 1639: bad command line"], row)
        ctx.check_equal((launch.started(), records), ([], []), "%s: tools or monitor reached" % row)


def no_driver_row(ctx):
    """Without the driver in the spooler Wine cannot install it: 1603, the call named."""
    folder = package(ctx, "no-driver")
    code, texts, _, _ = run(ctx, "no-driver", folder, printer_arguments("E2E Refused", "10.0.0.7"))
    ctx.check_equal(code, 1603, "no-driver: exit code")
    check_in_order(ctx, texts, ["pnputil.exe ended with exit code 0", "Driver failed: InstallPrinterDriverFromPackageA (error 127,",
                                "Exit code 1603"], "no-driver")
    ctx.check("E2E Refused" not in spooler_list(ctx)["printers"], "no-driver: a printer was added")


def uninstall_rows(ctx):
    """A printer alone on its port: printer, port and package go; one that
    shares its port: the port stays for the other."""
    folder = package(ctx, "uninstall")
    lines, _ = spooler(ctx, "add-printer", SHARED, "IP_printer-lpr.example", MODEL)
    ctx.check(lines["add-printer"]["ok"], "uninstall: second printer on the LPR port: %r" % lines)
    rows = [
        # (row, printer, its port, port gone, log lines)
        ("alone", PRINTER, "IP_10.0.0.6", True, ["Printer: \"%s\" deleted" % PRINTER, "Port: IP_10.0.0.6 deleted",
                                                 "Driver kept, used by: ", "Exit code 0"]),
        ("shared", LPR_PRINTER, "IP_printer-lpr.example", False,
         ["Printer: \"%s\" deleted" % LPR_PRINTER, "Port kept, used by: \"%s\"" % SHARED, "Driver kept, used by: ",
          "Exit code 0"]),
    ]
    for row, name, port, port_gone, log_lines in rows:
        code, texts, records, _ = run(ctx, "uninstall-" + row, folder, ["/uninstall", quoted("printer", name)])
        ctx.check_equal(code, 0, "uninstall-%s: exit code" % row)
        check_in_order(ctx, texts, log_lines, "uninstall-" + row)
        seen = spooler_list(ctx)
        ctx.check(name not in seen["printers"], "uninstall-%s: printer left" % row)
        ctx.check_equal(port not in seen["ports"], port_gone, "uninstall-%s: port gone" % row)
        ctx.check_equal(len(xcv_data(records, "DeletePort")), 1 if port_gone else 0, "uninstall-%s: DeletePort" % row)
    left = [name for name in published(ctx) if sample_inf(inf_folder(ctx), name) == sample_inf(folder)]
    ctx.check_equal(left, [], "uninstall: published copies of the package left")


@case
def network_printer(ctx):
    before = spooler_list(ctx)
    ctx.require(not set(PRINTERS) & set(before["printers"]), "the prefix has E2E printers: %r" % before["printers"])
    clear_published(ctx)
    try:
        bad_command_lines(ctx)
        no_driver_row(ctx)
        with seeded_driver(ctx, MODEL), seeded_driver(ctx, OTHER_MODEL):
            set_up_rows(ctx)
            model_rows(ctx)
            uninstall_rows(ctx)
    finally:
        for name in PRINTERS:
            spooler(ctx, "delete-printer", name)
        for port in PORTS:
            spooler(ctx, "delete-port", port)
        clear_published(ctx)
    after = spooler_list(ctx)
    for part in ("printers", "ports", "drivers"):
        ctx.check_equal(after[part], before[part], "the prefix's %s afterwards" % part)
