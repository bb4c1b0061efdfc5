/* winspool.drv's administration of the print spooler, reached only through
 * GetProcAddress: handles on print queues and on the Standard TCP/IP Port
 * monitor's Xcv objects, the queues, the ports the monitor adds and deletes,
 * printer drivers and driver packages. */
#include <objbase.h>
#include <standin.h>
#include <winspool.h>

#include <stdio.h>
#include <string.h>
#include <strings.h>

#include "../../src/install/tcp_port_data.h"

using standin::Log;
using standin::PrinterHandle;
using standin::PrintQueue;
using standin::SpoolerPort;
using standin::state;

static const char kXcvMonitor[] = ",XcvMonitor ";
static const char kXcvPort[] = ",XcvPort ";
static const size_t kPrinterNameMax = 220;

static std::string Text(LPCSTR text) { return text ? text : "NULL"; }

static std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%X", (unsigned)value);
    return text;
}

static bool SameName(const std::string &name, LPCSTR other) { return other && strcasecmp(name.c_str(), other) == 0; }

/* A wide text of at most length units (terminated or not) as ASCII; '?' for other characters. */
static std::string Narrow(const WCHAR *text, size_t length)
{
    std::string narrow;
    for (size_t i = 0; i < length && text[i]; i++) narrow += (unsigned long)text[i] < 0x80 ? (char)text[i] : '?';
    return narrow;
}

/* --- the spooler's lists ------------------------------------------------- */

static PrintQueue *FindQueue(LPCSTR name)
{
    for (PrintQueue &queue : state().printQueues)
        if (SameName(queue.name, name)) return &queue;
    return NULL;
}

static SpoolerPort *FindPort(LPCSTR name)
{
    for (SpoolerPort &port : state().ports)
        if (SameName(port.name, name)) return &port;
    return NULL;
}

/* The environment of the PC's processor, whose drivers its queues use. */
static const char *PcEnvironment()
{
    switch (state().nativeMachine) {
    case IMAGE_FILE_MACHINE_AMD64: return "Windows x64";
    case IMAGE_FILE_MACHINE_ARM64: return "Windows ARM64";
    default: return "Windows NT x86";
    }
}

/* The environment name stands for, NULL for one the spooler does not know.
 * No name is "the current environment of the caller/client (not of the
 * destination/server)" (EnumPrinterDrivers): x86 for a process under WOW64. */
static const char *Environment(LPCSTR name)
{
    static const char *const kKnown[] = {"Windows NT x86", "Windows x64", "Windows ARM64"};
    if (!name) return state().isWow64 ? kKnown[0] : PcEnvironment();
    for (const char *known : kKnown)
        if (strcasecmp(name, known) == 0) return known;
    return NULL;
}

/* The drivers installed for a known environment; NULL when there are none. */
static std::vector<std::string> *Drivers(const char *environment)
{
    auto found = state().printerDrivers.find(environment);
    return found == state().printerDrivers.end() ? NULL : &found->second;
}

/* Where name is among the drivers installed for environment; -1 when it is not. */
static int FindDriver(const char *environment, LPCSTR name)
{
    std::vector<std::string> *drivers = Drivers(environment);
    for (size_t i = 0; drivers && i < drivers->size(); i++)
        if (SameName((*drivers)[i], name)) return (int)i;
    return -1;
}

/* The two-call protocol of the Enum functions: a buffer smaller than needed
 * (or none) gets nothing, and ERROR_INSUFFICIENT_BUFFER (EnumPorts). */
static bool Fits(DWORD needed, LPBYTE buffer, DWORD size)
{
    if (size >= needed && (buffer || !needed)) return true;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
}

/* Copies text to *at and moves past it. */
static LPSTR PutText(char **at, const std::string &text)
{
    LPSTR copy = strcpy(*at, text.c_str());
    *at += text.size() + 1;
    return copy;
}

static BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

/* --- handles ------------------------------------------------------------- */

static HANDLE OpenHandle(const std::string &object, bool xcv, DWORD access, DWORD granted)
{
    state().printerHandles.push_back(PrinterHandle());
    PrinterHandle &handle = state().printerHandles.back();
    handle.object = object;
    handle.xcv = xcv;
    handle.access = access;
    handle.granted = granted;
    state().openPrinterHandles++;
    return &handle;
}

static PrinterHandle *FindHandle(HANDLE handle)
{
    for (PrinterHandle &printer : state().printerHandles)
        if (&printer == handle && !printer.closed) return &printer;
    return NULL;
}

/* The queue an open queue handle is on; NULL with ERROR_INVALID_HANDLE for
 * any other handle, or one whose queue was deleted. */
static PrintQueue *QueueOf(HANDLE handle, PrinterHandle **printer)
{
    *printer = FindHandle(handle);
    PrintQueue *queue = *printer && !(*printer)->xcv ? FindQueue((*printer)->object.c_str()) : NULL;
    if (!queue) SetLastError(ERROR_INVALID_HANDLE);
    return queue;
}

/* A queue's name, an Xcv object on the Standard TCP/IP Port monitor
 * (",XcvMonitor <monitor>", ",XcvPort <port>": "TCPMON Xcv Interface"), or an
 * error.  A monitor that is not registered fails as under Wine: Windows does
 * not document its error. */
static DWORD FindObject(LPCSTR name, bool *xcv)
{
    std::string object = name ? name : "";
    bool monitor = object.compare(0, sizeof kXcvMonitor - 1, kXcvMonitor) == 0;
    bool port = object.compare(0, sizeof kXcvPort - 1, kXcvPort) == 0;
    *xcv = monitor || port;
    if (monitor)
        return state().tcpMonitorRegistered && SameName(TCP_MONITOR_NAME, name + sizeof kXcvMonitor - 1)
                   ? 0
                   : ERROR_UNKNOWN_PORT;
    if (port) {
        SpoolerPort *found = FindPort(name + sizeof kXcvPort - 1);
        return found && SameName(found->monitor, TCP_MONITOR_NAME) ? 0 : ERROR_UNKNOWN_PORT;
    }
    return FindQueue(name) ? 0 : ERROR_INVALID_PRINTER_NAME;
}

static BOOL WINAPI StandinOpenPrinterA(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults)
{
    Log("OpenPrinterA(" + Text(name) + "," + (defaults ? Hex(defaults->DesiredAccess) : "NULL") + ")");
    bool xcv;
    DWORD error = FindObject(name, &xcv);
    if (error) return Fail(error);
    DWORD access = defaults ? defaults->DesiredAccess : 0;
    /* "If pDefault is NULL, then the access rights are PRINTER_ACCESS_USE" (OpenPrinter). */
    DWORD granted = defaults ? access : PRINTER_ACCESS_USE;
    *printer = OpenHandle(xcv ? std::string(name) : FindQueue(name)->name, xcv, access, granted);
    return TRUE;
}

/* "When the ClosePrinter function returns, the handle hPrinter is invalid" (ClosePrinter). */
static BOOL WINAPI StandinClosePrinter(HANDLE handle)
{
    Log("ClosePrinter");
    PrinterHandle *printer = FindHandle(handle);
    if (!printer) return Fail(ERROR_INVALID_HANDLE);
    printer->closed = true;
    state().openPrinterHandles--;
    return TRUE;
}

/* --- print queues -------------------------------------------------------- */

/* Level 2 only: the record, then its texts; the print processor is winprint
 * and the data type RAW, the texts not kept are empty (GetPrinter). */
static BOOL WINAPI StandinGetPrinterA(HANDLE handle, DWORD level, LPBYTE info, DWORD size, LPDWORD needed)
{
    Log("GetPrinterA(" + std::to_string(level) + "," + std::to_string(size) + ")");
    PrinterHandle *printer;
    PrintQueue *queue = QueueOf(handle, &printer);
    if (!queue) return FALSE;
    if (level != 2) return Fail(ERROR_INVALID_LEVEL);
    const std::string texts[] = {queue->name, queue->port, queue->driver, "winprint", "RAW", ""};
    *needed = sizeof(PRINTER_INFO_2A);
    for (const std::string &text : texts) *needed += (DWORD)text.size() + 1;
    if (!Fits(*needed, info, size)) return FALSE;
    PRINTER_INFO_2A *record = (PRINTER_INFO_2A *)info;
    memset(record, 0, sizeof *record);
    char *at = (char *)(record + 1);
    record->pPrinterName = PutText(&at, texts[0]);
    record->pPortName = PutText(&at, texts[1]);
    record->pDriverName = PutText(&at, texts[2]);
    record->pPrintProcessor = PutText(&at, texts[3]);
    record->pDatatype = PutText(&at, texts[4]);
    record->pShareName = record->pComment = record->pLocation = record->pSepFile = record->pParameters =
        PutText(&at, texts[5]);
    record->Attributes = PRINTER_ATTRIBUTE_LOCAL;
    return TRUE;
}

/* What the spooler refuses in a queue's name, port and driver, or 0; self is
 * the queue being changed (NULL for a new one).  Its driver must be installed
 * for the PC's own environment. */
static DWORD QueueError(const PRINTER_INFO_2A *info, const PrintQueue *self)
{
    std::string name = info->pPrinterName ? info->pPrinterName : "";
    if (name.empty() || name.size() > kPrinterNameMax || name.find_first_of(",\\") != std::string::npos)
        return ERROR_INVALID_PRINTER_NAME;
    PrintQueue *other = FindQueue(name.c_str());
    if (other && other != self) return ERROR_PRINTER_ALREADY_EXISTS;
    if (!FindPort(info->pPortName)) return ERROR_UNKNOWN_PORT;
    if (FindDriver(PcEnvironment(), info->pDriverName) < 0) return ERROR_UNKNOWN_PRINTER_DRIVER;
    return 0;
}

/* Level 2: the queue's name, port and driver as given.  "PRINTER_ACCESS_ADMINISTER:
 * To perform administrative tasks, such as those provided by SetPrinter" (PRINTER_DEFAULTS). */
static BOOL WINAPI StandinSetPrinterA(HANDLE handle, DWORD level, LPBYTE info, DWORD command)
{
    Log("SetPrinterA(" + std::to_string(level) + "," + std::to_string(command) + ")");
    PrinterHandle *printer;
    PrintQueue *queue = QueueOf(handle, &printer);
    if (!queue) return FALSE;
    if (level != 2) return Fail(ERROR_INVALID_LEVEL);
    if (!info) return Fail(ERROR_INVALID_PARAMETER);
    if (!(printer->granted & PRINTER_ACCESS_ADMINISTER)) return Fail(ERROR_ACCESS_DENIED);
    const PRINTER_INFO_2A *wanted = (const PRINTER_INFO_2A *)info;
    if (DWORD error = QueueError(wanted, queue)) return Fail(error);
    for (PrinterHandle &other : state().printerHandles)
        if (!other.xcv && SameName(other.object, queue->name.c_str())) other.object = wanted->pPrinterName;
    *queue = {wanted->pPrinterName, wanted->pPortName, wanted->pDriverName};
    return TRUE;
}

/* Level 2, on this PC, with the winprint print processor and RAW data (or
 * none).  "The handle returned by the function will have PRINTER_ALL_ACCESS
 * permission" (AddPrinter). */
static HANDLE WINAPI StandinAddPrinterA(LPSTR server, DWORD level, LPBYTE info)
{
    const PRINTER_INFO_2A *printer = (const PRINTER_INFO_2A *)info;
    std::string name = level == 2 && printer ? Text(printer->pPrinterName) : "";
    Log("AddPrinterA(" + Text(server) + "," + std::to_string(level) + "," + name + ")");
    DWORD error = level != 2 ? ERROR_INVALID_LEVEL : !printer ? ERROR_INVALID_PARAMETER : QueueError(printer, NULL);
    if (!error && !(printer->pPrintProcessor && strcasecmp(printer->pPrintProcessor, "winprint") == 0))
        error = ERROR_UNKNOWN_PRINTPROCESSOR;
    if (!error && printer->pDatatype && strcasecmp(printer->pDatatype, "RAW") != 0) error = ERROR_INVALID_DATATYPE;
    if (error) {
        SetLastError(error);
        return NULL;
    }
    state().printQueues.push_back({printer->pPrinterName, printer->pPortName, printer->pDriverName});
    return OpenHandle(printer->pPrinterName, false, PRINTER_ALL_ACCESS, PRINTER_ALL_ACCESS);
}

/* Deleting takes the standard right DELETE, which PRINTER_ALL_ACCESS holds:
 * the access rights "can affect the operation of the SetPrinter and
 * DeletePrinter functions" (PRINTER_DEFAULTS).  "DeletePrinter does not close
 * the handle that is passed to it" (DeletePrinter). */
static BOOL WINAPI StandinDeletePrinter(HANDLE handle)
{
    PrinterHandle *printer;
    PrintQueue *queue = QueueOf(handle, &printer);
    Log("DeletePrinter(" + (queue ? queue->name : std::string()) + ")");
    if (!queue) return FALSE;
    if (!(printer->granted & DELETE)) return Fail(ERROR_ACCESS_DENIED);
    if (state().deletePrinterError) return Fail(state().deletePrinterError);
    state().printQueues.erase(state().printQueues.begin() + (queue - state().printQueues.data()));
    return TRUE;
}

/* --- ports and the Standard TCP/IP Port monitor -------------------------- */

/* Levels 1 and 2 (EnumPorts); a port's description is empty and its type 0. */
static BOOL WINAPI StandinEnumPortsA(LPSTR server, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                                     LPDWORD returned)
{
    Log("EnumPortsA(" + Text(server) + "," + std::to_string(level) + "," + std::to_string(size) + ")");
    *returned = 0;
    if (level != 1 && level != 2) return Fail(ERROR_INVALID_LEVEL);
    const std::vector<SpoolerPort> &list = state().ports;
    DWORD recordSize = level == 1 ? sizeof(PORT_INFO_1A) : sizeof(PORT_INFO_2A);
    *needed = (DWORD)list.size() * recordSize;
    for (const SpoolerPort &port : list) {
        *needed += (DWORD)port.name.size() + 1;
        if (level == 2) *needed += (DWORD)port.monitor.size() + 1 + 1;  /* and the empty description */
    }
    if (!Fits(*needed, ports, size)) return FALSE;
    char *at = (char *)ports + list.size() * recordSize;
    for (size_t i = 0; i < list.size(); i++) {
        if (level == 1) {
            ((PORT_INFO_1A *)ports)[i].pName = PutText(&at, list[i].name);
        } else {
            PORT_INFO_2A *record = (PORT_INFO_2A *)ports + i;
            memset(record, 0, sizeof *record);
            record->pPortName = PutText(&at, list[i].name);
            record->pMonitorName = PutText(&at, list[i].monitor);
            record->pDescription = PutText(&at, "");
        }
    }
    *returned = (DWORD)list.size();
    return TRUE;
}

/* An Xcv command's record: no record, or fewer bytes than it, is
 * ERROR_INVALID_DATA; a version other than 1 ERROR_INVALID_LEVEL. */
template <typename Record> static DWORD ReadVersionOne(const BYTE *input, DWORD size, Record *data)
{
    if (!input || size < sizeof *data) return ERROR_INVALID_DATA;
    memcpy(data, input, sizeof *data);
    return data->dwVersion == 1 ? ERROR_SUCCESS : ERROR_INVALID_LEVEL;
}

/* "AddPort": a PORT_DATA_1 of version 1, "SERVER_ACCESS_ADMINISTER privilege"
 * ("TCPMON Xcv Commands"); no record, or fewer bytes than it, is
 * ERROR_INVALID_DATA ("TCPMON Xcv Interface").  The record's size is the one
 * tcp_port_data.h declares (964 bytes where WCHAR has 16 bits); a cbSize other
 * than it, which the pages leave out, is refused as a parameter.  A port of
 * that name already there is ERROR_ALREADY_EXISTS. */
static DWORD AddPort(const PrinterHandle &xcv, const BYTE *input, DWORD size)
{
    PORT_DATA_1 data;
    DWORD read = ReadVersionOne(input, size, &data);
    if (read != ERROR_SUCCESS) return read;
    if (data.cbSize != sizeof data) return ERROR_INVALID_PARAMETER;
    if (state().addPortStatus >= 0) return (DWORD)state().addPortStatus;
    if (!(xcv.granted & SERVER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    std::string name = Narrow(data.sztPortName, MAX_PORTNAME_LEN);
    if (FindPort(name.c_str())) return ERROR_ALREADY_EXISTS;
    state().ports.push_back({name, TCP_MONITOR_NAME});
    return ERROR_SUCCESS;
}

/* "DeletePort": a DELETE_PORT_DATA_1 of version 1, SERVER_ACCESS_ADMINISTER
 * ("TCPMON Xcv Commands"); a name that is none of the monitor's ports is
 * ERROR_UNKNOWN_PORT. */
static DWORD DeletePort(const PrinterHandle &xcv, const BYTE *input, DWORD size)
{
    DELETE_PORT_DATA_1 data;
    DWORD read = ReadVersionOne(input, size, &data);
    if (read != ERROR_SUCCESS) return read;
    if (!(xcv.granted & SERVER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    std::string name = Narrow(data.psztPortName, MAX_PORTNAME_LEN);
    SpoolerPort *port = FindPort(name.c_str());
    if (!port || !SameName(port->monitor, TCP_MONITOR_NAME)) return ERROR_UNKNOWN_PORT;
    state().ports.erase(state().ports.begin() + (port - state().ports.data()));
    return ERROR_SUCCESS;
}

/* "The return value from the XcvData function indicates only whether the
 * data was correctly sent to the port monitor"; a command the monitor does
 * not understand is ERROR_INVALID_PARAMETER ("TCPMON Xcv Interface").  Only
 * GetConfigInfo needs a port's own handle ("TCPMON Xcv Commands"): AddPort and
 * DeletePort take either Xcv handle. */
static BOOL WINAPI StandinXcvDataW(HANDLE handle, PCWSTR dataName, PBYTE input, DWORD inputSize, PBYTE output,
                                   DWORD outputSize, PDWORD needed, PDWORD status)
{
    (void)output, (void)outputSize;
    std::string name = dataName ? Narrow(dataName, (size_t)-1) : "";
    Log("XcvDataW(" + name + "," + std::to_string(inputSize) + ")");
    PrinterHandle *xcv = FindHandle(handle);
    if (!xcv || !xcv->xcv) return Fail(ERROR_INVALID_HANDLE);
    DWORD result = ERROR_INVALID_PARAMETER;
    if (name == "AddPort") result = AddPort(*xcv, input, inputSize);
    if (name == "DeletePort") result = DeletePort(*xcv, input, inputSize);
    standin::XcvCall call;
    call.object = xcv->object;
    call.access = xcv->access;
    call.dataName = name;
    if (input) call.input.assign(input, input + inputSize);
    call.status = result;
    state().xcvCalls.push_back(call);
    if (needed) *needed = 0;
    if (status) *status = result;
    return TRUE;
}

/* --- printer drivers and driver packages ---------------------------------- */

/* Level 1; "all" lists every environment's drivers (EnumPrinterDrivers). */
static BOOL WINAPI StandinEnumPrinterDriversA(LPSTR server, LPSTR environment, DWORD level, LPBYTE drivers,
                                              DWORD size, LPDWORD needed, LPDWORD returned)
{
    Log("EnumPrinterDriversA(" + Text(server) + "," + Text(environment) + "," + std::to_string(level) + "," +
        std::to_string(size) + ")");
    *returned = 0;
    if (level != 1) return Fail(ERROR_INVALID_LEVEL);
    std::vector<std::string> names;
    if (environment && strcasecmp(environment, "all") == 0) {
        for (const auto &installed : state().printerDrivers)
            names.insert(names.end(), installed.second.begin(), installed.second.end());
    } else if (const char *known = Environment(environment)) {
        if (Drivers(known)) names = *Drivers(known);
    } else {
        return Fail(ERROR_INVALID_ENVIRONMENT);
    }
    *needed = (DWORD)(names.size() * sizeof(DRIVER_INFO_1A));
    for (const std::string &name : names) *needed += (DWORD)name.size() + 1;
    if (!Fits(*needed, drivers, size)) return FALSE;
    char *at = (char *)drivers + names.size() * sizeof(DRIVER_INFO_1A);
    for (size_t i = 0; i < names.size(); i++) ((DRIVER_INFO_1A *)drivers)[i].pName = PutText(&at, names[i]);
    *returned = (DWORD)names.size();
    return TRUE;
}

/* A driver of the PC's environment that a local printer uses. */
static bool DriverInUse(LPCSTR driver)
{
    if (state().localPrinters > 0 && SameName(state().printerDriver, driver)) return true;
    for (const PrintQueue &queue : state().printQueues)
        if (SameName(queue.driver, driver)) return true;
    return false;
}

/* "Before calling DeletePrinterDriverEx, you must delete all printer objects
 * that use the printer driver" (DeletePrinterDriverEx).  The flags change
 * nothing here. */
static BOOL WINAPI StandinDeletePrinterDriverExA(LPSTR server, LPSTR environment, LPSTR driver, DWORD flags,
                                                 DWORD version)
{
    Log("DeletePrinterDriverExA(" + Text(server) + "," + Text(environment) + "," + Text(driver) + "," +
        std::to_string(flags) + "," + std::to_string(version) + ")");
    const char *known = Environment(environment);
    if (!known) return Fail(ERROR_INVALID_ENVIRONMENT);
    if (strcmp(known, PcEnvironment()) == 0 && DriverInUse(driver)) return Fail(ERROR_PRINTER_DRIVER_IN_USE);
    int installed = FindDriver(known, driver);
    if (installed < 0) return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
    if (state().deleteDriverError) return Fail(state().deleteDriverError);
    Drivers(known)->erase(Drivers(known)->begin() + installed);
    return TRUE;
}

/* The package's INF in the driver store when it is there; "pcchDestInfPath:
 * On output, receives the size, in characters, of the path string, including
 * the terminating null character" (UploadPrinterDriverPackage). */
static HRESULT WINAPI StandinUploadPrinterDriverPackageA(LPCSTR server, LPCSTR infPath, LPCSTR environment,
                                                         DWORD flags, HWND window, LPSTR storeInf, PULONG size)
{
    (void)window;
    std::string call = Text(infPath) + "," + Text(environment) + "," + std::to_string(flags);
    Log("UploadPrinterDriverPackageA(" + Text(server) + "," + call + ")");
    state().driverPackageCalls.push_back("Upload(" + call + ")");
    const std::string &found = state().driverStoreInf;
    if (found.empty()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    ULONG characters = (ULONG)found.size() + 1;
    bool fits = storeInf && *size >= characters;
    *size = characters;
    if (!fits) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    memcpy(storeInf, found.c_str(), characters);
    return S_OK;
}

/* Installs driver for the environment (the caller's when none is named, as
 * for the other driver functions) (InstallPrinterDriverFromPackage). */
static HRESULT WINAPI StandinInstallPrinterDriverFromPackageA(LPCSTR server, LPCSTR infPath, LPCSTR driver,
                                                              LPCSTR environment, DWORD flags)
{
    std::string call = Text(infPath) + "," + Text(driver) + "," + Text(environment) + "," + std::to_string(flags);
    Log("InstallPrinterDriverFromPackageA(" + Text(server) + "," + call + ")");
    state().driverPackageCalls.push_back("Install(" + call + ")");
    if (FAILED(state().installFromPackageResult)) return state().installFromPackageResult;
    const char *known = Environment(environment);
    if (!known) return HRESULT_FROM_WIN32(ERROR_INVALID_ENVIRONMENT);
    if (!driver) return HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER);
    if (FindDriver(known, driver) < 0) state().printerDrivers[known].push_back(driver);
    return S_OK;
}

namespace standin {

FARPROC PrintAdminExport(const char *name)
{
    static const struct {
        const char *name;
        FARPROC function;
        bool package;  /* exported only with driverPackageFunctions (Windows Vista and later) */
    } kExports[] = {
        {"OpenPrinterA", (FARPROC)(void (*)(void))StandinOpenPrinterA, false},
        {"ClosePrinter", (FARPROC)(void (*)(void))StandinClosePrinter, false},
        {"GetPrinterA", (FARPROC)(void (*)(void))StandinGetPrinterA, false},
        {"SetPrinterA", (FARPROC)(void (*)(void))StandinSetPrinterA, false},
        {"AddPrinterA", (FARPROC)(void (*)(void))StandinAddPrinterA, false},
        {"DeletePrinter", (FARPROC)(void (*)(void))StandinDeletePrinter, false},
        {"EnumPortsA", (FARPROC)(void (*)(void))StandinEnumPortsA, false},
        {"XcvDataW", (FARPROC)(void (*)(void))StandinXcvDataW, false},
        {"EnumPrinterDriversA", (FARPROC)(void (*)(void))StandinEnumPrinterDriversA, false},
        {"DeletePrinterDriverExA", (FARPROC)(void (*)(void))StandinDeletePrinterDriverExA, false},
        {"UploadPrinterDriverPackageA", (FARPROC)(void (*)(void))StandinUploadPrinterDriverPackageA, true},
        {"InstallPrinterDriverFromPackageA", (FARPROC)(void (*)(void))StandinInstallPrinterDriverFromPackageA, true},
    };
    for (const auto &exported : kExports)
        if (strcmp(name, exported.name) == 0 && (!exported.package || state().driverPackageFunctions))
            return exported.function;
    return NULL;
}

}  // namespace standin
