/* Spooler probe: sets up and reads the prefix's spooler for the cases of the
 * network printer.  One JSON line per thing it did or saw, on stdout; exit
 * code 0 when all of it worked, 1 otherwise, 2 for a wrong command line.
 *
 *   add-monitor                      registers e2e_tcpmon.dll as "Standard TCP/IP Port"
 *   seed-driver NAME ENVIRONMENT     a printer driver NAME for ENVIRONMENT, on Wine's PostScript files
 *   delete-driver NAME ENVIRONMENT   DeletePrinterDriverExA without flags
 *   delete-port NAME                 Xcv "DeletePort" through the port, as the launcher sends it
 *   add-printer NAME PORT DRIVER     AddPrinterA level 2
 *   delete-printer NAME
 *   list                             printers, ports, drivers of both environments, monitors */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include <winspool.h>

#include "common/json_line.h"
#include "common/text.h"
#include "install/tcp_port_data.h"

#define MONITOR_DLL "e2e_tcpmon.dll"
#define DRIVER_FILE "wineps.drv"
#define ENUM_BUFFER_SIZE (256 * 1024)

static const char *const listedEnvironments[] = {"Windows x64", "Windows NT x86"};

static BYTE enumBuffer[ENUM_BUFFER_SIZE];

/* Starts the line every command prints: its name and the probe's bitness. */
static void BeginReport(JsonLine *line, const char *command)
{
    JsonBegin(line);
    JsonString(line, "event", command);
    JsonNumber(line, "process_bits", (long long)sizeof(void *) * 8);
}

/* Adds "ok" and, when it failed, "error" with the last error. */
static int ReportOutcome(JsonLine *line, BOOL ok, DWORD error)
{
    JsonBool(line, "ok", ok);
    JsonNumber(line, "error", ok ? 0 : (long long)error);
    return ok ? 0 : 1;
}

/* --- the monitor ----------------------------------------------------------- */

static int AddMonitorCommand(void)
{
    MONITOR_INFO_2A monitor;
    monitor.pName = (LPSTR)TCP_MONITOR_NAME;
    monitor.pEnvironment = NULL;
    monitor.pDLLName = (LPSTR)MONITOR_DLL;
    BOOL ok = AddMonitorA(NULL, 2, (LPBYTE)&monitor);
    DWORD error = ok ? 0 : GetLastError();
    static JsonLine line;
    BeginReport(&line, "add-monitor");
    JsonBool(&line, "already", !ok && error == ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
    JsonBool(&line, "added", ok);
    int failed = ReportOutcome(&line, ok, error);
    JsonEnd(&line);
    return error == ERROR_PRINT_MONITOR_ALREADY_INSTALLED ? 0 : failed;
}

/* --- Xcv --------------------------------------------------------------------- */

/* Copies text into a WCHAR field of count characters, always ended. */
static void SetField(WCHAR *field, size_t count, const char *text)
{
    int written = MultiByteToWideChar(CP_ACP, 0, text, -1, field, (int)count);
    if (written <= 0) field[0] = L'\0';
    field[count - 1] = L'\0';
}

/* Opens the Xcv object (",XcvMonitor NAME" or ",XcvPort NAME"), sends one
 * command, and reports each step on line.  Returns 0 when the status was 0. */
static int SendXcv(JsonLine *line, const char *object, const WCHAR *command, BYTE *input, DWORD size, DWORD access)
{
    char target[MAX_PATH];
    format_bounded(target, ",%s", object);
    PRINTER_DEFAULTSA defaults = {NULL, NULL, access};
    HANDLE xcv = NULL;
    BOOL opened = OpenPrinterA(target, &xcv, &defaults);
    JsonString(line, "object", target);
    JsonHex(line, "access", access);
    JsonBool(line, "open_ok", opened);
    JsonNumber(line, "open_error", opened ? 0 : (long long)GetLastError());
    JsonNumber(line, "cb_input", size);
    if (!opened) return 1;
    DWORD needed = 0, status = 0xFFFFFFFF;
    BOOL sent = XcvDataW(xcv, command, input, size, NULL, 0, &needed, &status);
    JsonBool(line, "xcv_ok", sent);
    JsonNumber(line, "xcv_error", sent ? 0 : (long long)GetLastError());
    JsonNumber(line, "status", status);
    JsonNumber(line, "needed", needed);
    ClosePrinter(xcv);
    return sent && status == 0 ? 0 : 1;
}

static int DeletePortCommand(const char *port)
{
    static DELETE_PORT_DATA_1 data;
    memset(&data, 0, sizeof data);
    SetField(data.psztPortName, MAX_PORTNAME_LEN, port);
    data.dwVersion = 1;
    static JsonLine line;
    BeginReport(&line, "delete-port");
    JsonString(&line, "port", port);
    char object[MAX_PATH];
    format_bounded(object, "XcvPort %s", port);
    int failed = SendXcv(&line, object, L"DeletePort", (BYTE *)&data, sizeof data, SERVER_ACCESS_ADMINISTER);
    JsonEnd(&line);
    return failed;
}

/* --- printers and drivers ---------------------------------------------------- */

static int AddPrinterCommand(const char *name, const char *port, const char *driver)
{
    PRINTER_INFO_2A printer;
    memset(&printer, 0, sizeof printer);
    printer.pPrinterName = (LPSTR)name;
    printer.pPortName = (LPSTR)port;
    printer.pDriverName = (LPSTR)driver;
    printer.pPrintProcessor = (LPSTR)"WinPrint";
    printer.pDatatype = (LPSTR)"RAW";
    HANDLE handle = AddPrinterA(NULL, 2, (LPBYTE)&printer);
    DWORD error = handle ? 0 : GetLastError();
    if (handle) ClosePrinter(handle);
    static JsonLine line;
    BeginReport(&line, "add-printer");
    JsonString(&line, "printer", name);
    JsonString(&line, "port", port);
    JsonString(&line, "driver", driver);
    int failed = ReportOutcome(&line, handle != NULL, error);
    JsonEnd(&line);
    return failed;
}

static int DeletePrinterCommand(const char *name)
{
    PRINTER_DEFAULTSA access = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE handle = NULL;
    BOOL ok = OpenPrinterA((LPSTR)name, &handle, &access);
    DWORD error = ok ? 0 : GetLastError();
    if (ok) {
        ok = DeletePrinter(handle);
        error = ok ? 0 : GetLastError();
        ClosePrinter(handle);
    }
    static JsonLine line;
    BeginReport(&line, "delete-printer");
    JsonString(&line, "printer", name);
    int failed = ReportOutcome(&line, ok, error);
    JsonEnd(&line);
    return failed;
}

/* A driver of Wine's PostScript files under another name: the spooler lists it
 * and adds printers on it; already there counts as done. */
static int SeedDriverCommand(const char *name, const char *environment)
{
    DRIVER_INFO_3A driver;
    memset(&driver, 0, sizeof driver);
    driver.cVersion = 3;
    driver.pName = (LPSTR)name;
    driver.pEnvironment = (LPSTR)environment;
    driver.pDriverPath = (LPSTR)DRIVER_FILE;
    driver.pDataFile = (LPSTR)DRIVER_FILE;
    driver.pConfigFile = (LPSTR)DRIVER_FILE;
    BOOL ok = AddPrinterDriverExA(NULL, 3, (LPBYTE)&driver, APD_COPY_NEW_FILES);
    DWORD error = ok ? 0 : GetLastError();
    static JsonLine line;
    BeginReport(&line, "seed-driver");
    JsonString(&line, "driver", name);
    JsonString(&line, "environment", environment);
    JsonBool(&line, "already", error == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED);
    int failed = ReportOutcome(&line, ok, error);
    JsonEnd(&line);
    return error == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED ? 0 : failed;
}

/* DeletePrinterDriverExA with the DPD_* flags given in hexadecimal (none by default). */
static int DeleteDriverCommand(const char *name, const char *environment)
{
    DWORD deleteFlags = 0;
    BOOL ok = DeletePrinterDriverExA(NULL, (LPSTR)environment, (LPSTR)name, deleteFlags, 0);
    DWORD error = ok ? 0 : GetLastError();
    static JsonLine line;
    BeginReport(&line, "delete-driver");
    JsonString(&line, "driver", name);
    JsonString(&line, "environment", environment);
    JsonHex(&line, "flags", deleteFlags);
    int failed = ReportOutcome(&line, ok, error);
    JsonEnd(&line);
    return failed;
}

/* --- list -------------------------------------------------------------------- */

/* Ends a list line: count, ok and error of the enumeration. */
static int EndList(JsonLine *line, BOOL ok, DWORD count)
{
    JsonCloseArray(line);
    JsonNumber(line, "count", ok ? count : 0);
    int failed = ReportOutcome(line, ok, ok ? 0 : GetLastError());
    JsonEnd(line);
    return failed;
}

static int ListPrinters(void)
{
    DWORD needed = 0, count = 0;
    BOOL ok = EnumPrintersA(PRINTER_ENUM_LOCAL, NULL, 2, enumBuffer, sizeof enumBuffer, &needed, &count);
    static JsonLine line;
    BeginReport(&line, "printers");
    JsonOpenArray(&line, "printers");
    const PRINTER_INFO_2A *printers = (const PRINTER_INFO_2A *)enumBuffer;
    for (DWORD i = 0; ok && i < count; i++) {
        JsonOpenObject(&line, NULL);
        JsonString(&line, "name", printers[i].pPrinterName);
        JsonString(&line, "port", printers[i].pPortName);
        JsonString(&line, "driver", printers[i].pDriverName);
        JsonCloseObject(&line);
    }
    return EndList(&line, ok, count);
}

static int ListPorts(void)
{
    DWORD needed = 0, count = 0;
    BOOL ok = EnumPortsA(NULL, 2, enumBuffer, sizeof enumBuffer, &needed, &count);
    static JsonLine line;
    BeginReport(&line, "ports");
    JsonOpenArray(&line, "ports");
    const PORT_INFO_2A *ports = (const PORT_INFO_2A *)enumBuffer;
    for (DWORD i = 0; ok && i < count; i++) {
        JsonOpenObject(&line, NULL);
        JsonString(&line, "name", ports[i].pPortName);
        JsonString(&line, "monitor", ports[i].pMonitorName);
        JsonString(&line, "description", ports[i].pDescription);
        JsonHex(&line, "type", ports[i].fPortType);
        JsonCloseObject(&line);
    }
    return EndList(&line, ok, count);
}

static int ListDrivers(const char *environment)
{
    DWORD needed = 0, count = 0;
    BOOL ok = EnumPrinterDriversA(NULL, (LPSTR)environment, 2, enumBuffer, sizeof enumBuffer, &needed, &count);
    static JsonLine line;
    BeginReport(&line, "drivers");
    JsonString(&line, "environment", environment);
    JsonOpenArray(&line, "drivers");
    const DRIVER_INFO_2A *drivers = (const DRIVER_INFO_2A *)enumBuffer;
    for (DWORD i = 0; ok && i < count; i++) {
        JsonOpenObject(&line, NULL);
        JsonString(&line, "name", drivers[i].pName);
        JsonNumber(&line, "version", drivers[i].cVersion);
        JsonString(&line, "environment", drivers[i].pEnvironment);
        JsonString(&line, "driver_path", drivers[i].pDriverPath);
        JsonCloseObject(&line);
    }
    return EndList(&line, ok, count);
}

static int ListMonitors(void)
{
    DWORD needed = 0, count = 0;
    BOOL ok = EnumMonitorsA(NULL, 2, enumBuffer, sizeof enumBuffer, &needed, &count);
    static JsonLine line;
    BeginReport(&line, "monitors");
    JsonOpenArray(&line, "monitors");
    const MONITOR_INFO_2A *monitors = (const MONITOR_INFO_2A *)enumBuffer;
    for (DWORD i = 0; ok && i < count; i++) {
        JsonOpenObject(&line, NULL);
        JsonString(&line, "name", monitors[i].pName);
        JsonString(&line, "dll", monitors[i].pDLLName);
        JsonCloseObject(&line);
    }
    return EndList(&line, ok, count);
}

static int ListCommand(void)
{
    int failed = ListPrinters();
    failed |= ListPorts();
    for (size_t i = 0; i < sizeof listedEnvironments / sizeof listedEnvironments[0]; i++)
        failed |= ListDrivers(listedEnvironments[i]);
    failed |= ListMonitors();
    return failed;
}

int main(int argc, char **argv)
{
    const char *command = argc > 1 ? argv[1] : "";
    if (!strcmp(command, "add-monitor") && argc == 2) return AddMonitorCommand();
    if (!strcmp(command, "list") && argc == 2) return ListCommand();
    if (!strcmp(command, "seed-driver") && argc == 4) return SeedDriverCommand(argv[2], argv[3]);
    if (!strcmp(command, "delete-driver") && argc == 4) return DeleteDriverCommand(argv[2], argv[3]);
    if (!strcmp(command, "delete-port") && argc == 3) return DeletePortCommand(argv[2]);
    if (!strcmp(command, "add-printer") && argc == 5) return AddPrinterCommand(argv[2], argv[3], argv[4]);
    if (!strcmp(command, "delete-printer") && argc == 3) return DeletePrinterCommand(argv[2]);
    fputs("usage: spooler_probe add-monitor | list | seed-driver NAME ENVIRONMENT\n"
          "       | delete-driver NAME ENVIRONMENT | delete-port NAME\n"
          "       | add-printer NAME PORT DRIVER | delete-printer NAME\n",
          stderr);
    return 2;
}
