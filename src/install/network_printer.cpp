#include "install/network_printer.h"

#include <objbase.h>
#include <winspool.h>

#include <string.h>

#include "common/bounded.h"
#include "common/launch_log.h"
#include "common/names.h"
#include "common/outcome.h"
#include "common/system_library.h"
#include "common/system_probes.h"
#include "install/spooler_list.h"
#include "setupinfo/inf_models.h"

/* The spooler's functions, looked up in winspool.drv when needed: the
 * executable imports none, and Windows before Vista lacks the package ones. */
typedef BOOL(WINAPI *OpenPrinterFunction)(LPSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults);
typedef BOOL(WINAPI *ClosePrinterFunction)(HANDLE printer);
typedef BOOL(WINAPI *GetPrinterFunction)(HANDLE printer, DWORD level, LPBYTE info, DWORD size, LPDWORD needed);
typedef BOOL(WINAPI *SetPrinterFunction)(HANDLE printer, DWORD level, LPBYTE info, DWORD command);
typedef HANDLE(WINAPI *AddPrinterFunction)(LPSTR server, DWORD level, LPBYTE info);
typedef BOOL(WINAPI *DeletePrinterFunction)(HANDLE printer);
typedef BOOL(WINAPI *XcvDataFunction)(HANDLE xcv, PCWSTR dataName, PBYTE input, DWORD inputSize, PBYTE output,
                                      DWORD outputSize, PDWORD needed, PDWORD status);
typedef BOOL(WINAPI *DeletePrinterDriverExFunction)(LPSTR server, LPSTR environment, LPSTR driver, DWORD flags,
                                                    DWORD version);
typedef HRESULT(WINAPI *UploadPrinterDriverPackageFunction)(LPCSTR server, LPCSTR infPath, LPCSTR environment,
                                                           DWORD flags, HWND window, LPSTR storeInf,
                                                           PULONG storeInfSize);
typedef HRESULT(WINAPI *InstallPrinterDriverFromPackageFunction)(LPCSTR server, LPCSTR infPath, LPCSTR driver,
                                                                LPCSTR environment, DWORD flags);

/* UploadPrinterDriverPackage's flags, as winspool.h gives them. */
#define UPDP_SILENT_UPLOAD 0x00000001
#define UPDP_CHECK_DRIVERSTORE 0x00000004

#define SPOOLER_LIBRARY "winspool.drv"
#define XCV_MONITOR ",XcvMonitor " TCP_MONITOR_NAME
#define XCV_PORT ",XcvPort "
#define PRINT_PROCESSOR "winprint"
#define DATA_TYPE "RAW"
#define SNMP_DEVICE_INDEX 1

static SystemFunction Spooler(const char *name) { return FindSystemFunction(SPOOLER_LIBRARY, name); }

static const char *Text(const char *text) { return text ? text : ""; }

/* The spooler's environment of the PC's own processor: every call that takes
 * one gets it by name, as NULL means the caller's ("Windows NT x86" for a
 * 32-bit launcher on a 64-bit PC). */
static const char *PcEnvironment(void)
{
    switch (NativeMachine()) {
    case IMAGE_FILE_MACHINE_AMD64: return "Windows x64";
    case IMAGE_FILE_MACHINE_ARM64: return "Windows ARM64";
    default: return "Windows NT x86";
    }
}

/* A step that failed: logged with the call and its code, and told in failure. */
static int StepFailed(char (&failure)[MAX_PATH], const char *step, const char *call, DWORD code)
{
    format_bounded(failure, "%s failed: %s (error %lu, 0x%08lX)", step, call, (unsigned long)code, (unsigned long)code);
    LogLine("%s", failure);
    return 0;
}

/* --- the spooler's lists ------------------------------------------------ */

/* True when text, a list of names split by commas (a queue's ports), holds name. */
static int ListsName(const char *text, const char *name)
{
    size_t length = strlen(name);
    for (const char *at = text; at && *at; at = strchr(at, ',')) {
        if (*at == ',') at++;
        while (*at == ' ') at++;
        if (StartsWithName(at, name) && (at[length] == '\0' || at[length] == ',')) return 1;
    }
    return 0;
}

/* The local queues whose port list holds port (port not NULL) or whose
 * driver is driver (driver not NULL): counted, and logged under what.  -1
 * when the spooler cannot list them. */
static int CountQueuesUsing(const char *port, const char *driver, const char *what)
{
    SpoolerList list;
    if (!ReadSpoolerList(LIST_PRINTERS, PRINTER_ENUM_LOCAL, NULL, 2, &list)) return -1;
    const PRINTER_INFO_2A *queues = (const PRINTER_INFO_2A *)list.block;
    int users = 0;
    for (DWORD i = 0; i < list.count; i++) {
        if (port && !ListsName(queues[i].pPortName, port)) continue;
        if (driver && !IsName(Text(queues[i].pDriverName), driver)) continue;
        users++;
        LogLine("%s: \"%s\" (port %s, driver \"%s\")", what, Text(queues[i].pPrinterName), Text(queues[i].pPortName),
                Text(queues[i].pDriverName));
    }
    ReleaseSpoolerList(&list);
    return users;
}

/* --- the driver ----------------------------------------------------------- */

/* Looks name up in the spooler's list of kind at level: the first text of
 * each record of recordSize bytes (DRIVER_INFO_1A, PORT_INFO_1A and
 * PORT_INFO_2A start with the name), and when second is given, the record's
 * second text must be it (PORT_INFO_2A's monitor).  1 found, 0 not, -1 with
 * *error. */
static int FindInList(SpoolerListKind kind, const char *environment, DWORD level, size_t recordSize, const char *name,
                      const char *second, DWORD *error)
{
    SpoolerList list;
    if (!ReadSpoolerList(kind, 0, environment, level, &list)) {
        *error = list.error;
        return -1;
    }
    int found = 0;
    for (DWORD i = 0; i < list.count && !found; i++) {
        char *const *texts = (char *const *)(list.block + i * recordSize);
        found = IsName(Text(texts[0]), name) && (!second || IsName(Text(texts[1]), second));
    }
    ReleaseSpoolerList(&list);
    return found;
}

/* The staged package's INF in the driver store, which the spooler installs
 * from: "UPDP_CHECK_DRIVERSTORE: the server's driver store will be checked
 * before upload to see if the package is already there" (UploadPrinterDriverPackage). */
static int InstallDriverFromStore(const char *model, const char *infPath, const char *environment,
                                  char (&failure)[MAX_PATH])
{
    UploadPrinterDriverPackageFunction upload =
        (UploadPrinterDriverPackageFunction)Spooler("UploadPrinterDriverPackageA");
    InstallPrinterDriverFromPackageFunction install =
        (InstallPrinterDriverFromPackageFunction)Spooler("InstallPrinterDriverFromPackageA");
    if (!upload || !install) {
        return StepFailed(failure, "Driver", upload ? "InstallPrinterDriverFromPackageA" : "UploadPrinterDriverPackageA",
                          ERROR_PROC_NOT_FOUND);
    }
    char storeInf[MAX_PATH];
    ULONG size = sizeof storeInf;
    HRESULT found = upload(NULL, infPath, environment, UPDP_SILENT_UPLOAD | UPDP_CHECK_DRIVERSTORE, NULL, storeInf,
                           &size);
    if (FAILED(found)) return StepFailed(failure, "Driver", "UploadPrinterDriverPackageA", (DWORD)found);
    HRESULT installed = install(NULL, storeInf, model, environment, 0);
    LogLine("Driver: \"%s\" installed for %s from %s: InstallPrinterDriverFromPackageA HRESULT 0x%08lX", model,
            environment, storeInf, (unsigned long)(DWORD)installed);
    if (FAILED(installed)) return StepFailed(failure, "Driver", "InstallPrinterDriverFromPackageA", (DWORD)installed);
    return 1;
}

static int SetUpDriver(const char *model, const char *infPath, char (&failure)[MAX_PATH])
{
    const char *environment = PcEnvironment();
    DWORD error;
    int installed = FindInList(LIST_DRIVERS, environment, 1, sizeof(DRIVER_INFO_1A), model, NULL, &error);
    if (installed < 0) return StepFailed(failure, "Driver", "EnumPrinterDriversA", error);
    if (installed) {
        LogLine("Driver: \"%s\" is installed for %s: kept", model, environment);
        return 1;
    }
    return InstallDriverFromStore(model, infPath, environment, failure);
}

/* --- the port --------------------------------------------------------------- */

static void BuildPortName(const char *host, char (&port)[MAX_PORTNAME_LEN])
{
    format_bounded(port, "IP_%s", host);
}

/* port among the spooler's ports, with monitor as its monitor when given. */
static int PortListed(const char *port, const char *monitor, DWORD *error)
{
    return FindInList(LIST_PORTS, NULL, monitor ? 2 : 1, monitor ? sizeof(PORT_INFO_2A) : sizeof(PORT_INFO_1A), port,
                      monitor, error);
}

static void Widen(const char *text, WCHAR *wide, int size)
{
    if (!MultiByteToWideChar(CP_ACP, 0, text, -1, wide, size)) wide[0] = 0;
}

/* The "AddPort" record: version 1, RAW or LPR, SNMP with device index 1. */
static void FillPortData(const NetworkPrinter *printer, const char *port, PORT_DATA_1 *data)
{
    memset(data, 0, sizeof *data);
    Widen(port, data->sztPortName, MAX_PORTNAME_LEN);
    data->dwVersion = 1;
    data->dwProtocol = printer->lprQueue[0] ? PROTOCOL_LPR_TYPE : PROTOCOL_RAWTCP_TYPE;
    data->cbSize = sizeof *data;
    Widen(printer->host, data->sztHostAddress, MAX_NETWORKNAME_LEN);
    Widen(printer->lprQueue, data->sztQueue, MAX_QUEUENAME_LEN);
    data->dwPortNumber = printer->portNumber;
    if (printer->snmpCommunity[0]) {
        Widen(printer->snmpCommunity, data->sztSNMPCommunity, MAX_SNMP_COMMUNITY_STR_LEN);
        data->dwSNMPEnabled = 1;
        data->dwSNMPDevIndex = SNMP_DEVICE_INDEX;
    }
}

/* Sends dataName with input to the monitor's Xcv object; its status is the
 * result ("XcvData": the BOOL only says the monitor was reached).  Returns 1
 * with *status, or 0 with the error of the call that failed in *status and
 * its name in *call. */
static int SendToMonitor(const char *object, const WCHAR *dataName, void *input, DWORD size, DWORD *status,
                         const char **call)
{
    OpenPrinterFunction open = (OpenPrinterFunction)Spooler("OpenPrinterA");
    ClosePrinterFunction close = (ClosePrinterFunction)Spooler("ClosePrinter");
    XcvDataFunction xcv = (XcvDataFunction)Spooler("XcvDataW");
    char name[MAX_PATH];
    copy_bounded(name, object);
    PRINTER_DEFAULTSA defaults = {NULL, NULL, SERVER_ACCESS_ADMINISTER};
    HANDLE handle = NULL;
    *call = "OpenPrinterA";
    *status = ERROR_PROC_NOT_FOUND;
    if (!open || !close || !xcv) return 0;
    if (!open(name, &handle, &defaults)) {
        *status = GetLastError();
        return 0;
    }
    DWORD needed = 0;
    *call = "XcvDataW";
    int reached = xcv(handle, dataName, (PBYTE)input, size, NULL, 0, &needed, status);
    if (!reached) *status = GetLastError();
    close(handle);
    return reached;
}

static int SetUpPort(const NetworkPrinter *printer, const char *port, char (&failure)[MAX_PATH])
{
    DWORD error;
    int listed = PortListed(port, NULL, &error);
    if (listed < 0) return StepFailed(failure, "Port", "EnumPortsA", error);
    if (listed) {
        LogLine("Port: %s is there: reused as it is", port);
        return 1;
    }
    static PORT_DATA_1 data;
    FillPortData(printer, port, &data);
    DWORD status;
    const char *call;
    if (!SendToMonitor(XCV_MONITOR, L"AddPort", &data, sizeof data, &status, &call))
        return StepFailed(failure, "Port", call, status);
    if (status != ERROR_SUCCESS && status != ERROR_ALREADY_EXISTS)
        return StepFailed(failure, "Port", "XcvDataW AddPort", status);
    LogLine("Port: %s %s (host %s, %s, port number %lu%s%s, SNMP %s%s)", port,
            status == ERROR_SUCCESS ? "added" : "is there already: reused", printer->host,
            printer->lprQueue[0] ? "LPR" : "RAW", (unsigned long)printer->portNumber,
            printer->lprQueue[0] ? ", queue " : "", printer->lprQueue, printer->snmpCommunity[0] ? "on, community " : "off",
            printer->snmpCommunity);
    return 1;
}

/* --- the queue ---------------------------------------------------------------- */

/* A queue opened to read and change it; its level-2 record read into block. */
struct Queue {
    HANDLE handle;
    BYTE *block;
    PRINTER_INFO_2A *info;
};

/* Opens the queue name.  Returns 1, 0 when there is none, -1 with *error. */
static int OpenQueue(const char *name, Queue *queue, DWORD *error)
{
    OpenPrinterFunction open = (OpenPrinterFunction)Spooler("OpenPrinterA");
    char printer[MAX_PATH];
    copy_bounded(printer, name);
    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    memset(queue, 0, sizeof *queue);
    *error = ERROR_PROC_NOT_FOUND;
    if (!open) return -1;
    if (open(printer, &queue->handle, &defaults)) return 1;
    *error = GetLastError();
    return *error == ERROR_INVALID_PRINTER_NAME ? 0 : -1;
}

/* Reads the open queue's level-2 record.  Returns 1, or 0 with *error. */
static int ReadQueue(Queue *queue, DWORD *error)
{
    GetPrinterFunction get = (GetPrinterFunction)Spooler("GetPrinterA");
    DWORD needed = 0;
    *error = ERROR_PROC_NOT_FOUND;
    if (!get) return 0;
    if (get(queue->handle, 2, NULL, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        *error = GetLastError();
        return 0;
    }
    LONG allocationError;
    queue->block = (BYTE *)AllocateBlock(needed, &allocationError);
    if (!queue->block) {
        *error = (DWORD)allocationError;
        return 0;
    }
    if (!get(queue->handle, 2, queue->block, needed, &needed)) {
        *error = GetLastError();
        return 0;
    }
    queue->info = (PRINTER_INFO_2A *)queue->block;
    return 1;
}

static void CloseQueue(Queue *queue)
{
    ClosePrinterFunction close = (ClosePrinterFunction)Spooler("ClosePrinter");
    if (queue->handle && close) close(queue->handle);
    if (queue->block) ReleaseBlock(queue->block);
    memset(queue, 0, sizeof *queue);
}

static int IsSetUp(const PRINTER_INFO_2A *info, const char *port, const char *driver)
{
    return IsName(Text(info->pPortName), port) && IsName(Text(info->pDriverName), driver);
}

/* Moves an existing queue to port and driver: a printer that moved to a new
 * address is set up again with the same command. */
static int ChangeQueue(Queue *queue, const char *port, const char *driver, char (&failure)[MAX_PATH])
{
    SetPrinterFunction set = (SetPrinterFunction)Spooler("SetPrinterA");
    char oldPort[MAX_PATH], oldDriver[MAX_PATH], newPort[MAX_PORTNAME_LEN], newDriver[MAX_PATH];
    copy_bounded(oldPort, Text(queue->info->pPortName));
    copy_bounded(oldDriver, Text(queue->info->pDriverName));
    copy_bounded(newPort, port);
    copy_bounded(newDriver, driver);
    queue->info->pPortName = newPort;
    queue->info->pDriverName = newDriver;
    if (!set) return StepFailed(failure, "Queue", "SetPrinterA", ERROR_PROC_NOT_FOUND);
    if (!set(queue->handle, 2, (LPBYTE)queue->info, 0)) return StepFailed(failure, "Queue", "SetPrinterA", GetLastError());
    LogLine("Queue: \"%s\" changed from port %s, driver \"%s\"", Text(queue->info->pPrinterName), oldPort, oldDriver);
    return 1;
}

static int AddQueue(const char *name, const char *port, const char *driver, char (&failure)[MAX_PATH])
{
    AddPrinterFunction add = (AddPrinterFunction)Spooler("AddPrinterA");
    ClosePrinterFunction close = (ClosePrinterFunction)Spooler("ClosePrinter");
    char printerName[MAX_PATH], portName[MAX_PORTNAME_LEN], driverName[MAX_PATH];
    char processor[] = PRINT_PROCESSOR, dataType[] = DATA_TYPE;
    copy_bounded(printerName, name);
    copy_bounded(portName, port);
    copy_bounded(driverName, driver);
    PRINTER_INFO_2A info;
    memset(&info, 0, sizeof info);
    info.pPrinterName = printerName;
    info.pPortName = portName;
    info.pDriverName = driverName;
    info.pPrintProcessor = processor;
    info.pDatatype = dataType;
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    if (!add || !close) return StepFailed(failure, "Queue", "AddPrinterA", ERROR_PROC_NOT_FOUND);
    HANDLE added = add(NULL, 2, (LPBYTE)&info);
    if (!added) return StepFailed(failure, "Queue", "AddPrinterA", GetLastError());
    close(added);
    LogLine("Queue: \"%s\" added on %s with driver \"%s\"", name, port, driver);
    return 1;
}

/* The launcher sets no default printer: that is each user's, and SYSTEM is nobody's. */
static int SetUpQueue(const char *name, const char *port, const char *driver, char (&failure)[MAX_PATH])
{
    Queue queue;
    DWORD error;
    int opened = OpenQueue(name, &queue, &error);
    if (opened < 0) return StepFailed(failure, "Queue", "OpenPrinterA", error);
    if (!opened) return AddQueue(name, port, driver, failure);
    int done = 1;
    if (!ReadQueue(&queue, &error)) {
        done = StepFailed(failure, "Queue", "GetPrinterA", error);
    } else if (IsSetUp(queue.info, port, driver)) {
        LogLine("Queue: \"%s\" is already set up on %s with driver \"%s\"", name, port, driver);
    } else {
        done = ChangeQueue(&queue, port, driver, failure);
    }
    CloseQueue(&queue);
    return done;
}

static int VerifyQueue(const char *name, const char *port, const char *driver, char (&failure)[MAX_PATH])
{
    Queue queue;
    DWORD error;
    int opened = OpenQueue(name, &queue, &error);
    if (opened <= 0) return StepFailed(failure, "Verification", "OpenPrinterA", opened ? error : ERROR_INVALID_PRINTER_NAME);
    int done = 1;
    if (!ReadQueue(&queue, &error)) {
        done = StepFailed(failure, "Verification", "GetPrinterA", error);
    } else if (!IsName(Text(queue.info->pPrinterName), name) || !IsSetUp(queue.info, port, driver)) {
        format_bounded(failure, "Verification failed: \"%s\" reads port %s, driver \"%s\"",
                       Text(queue.info->pPrinterName), Text(queue.info->pPortName), Text(queue.info->pDriverName));
        LogLine("%s", failure);
        done = 0;
    } else {
        LogLine("Verified: \"%s\" is on %s with driver \"%s\"", name, port, driver);
    }
    CloseQueue(&queue);
    return done;
}

/* --- the steps ------------------------------------------------------------------ */

int ChoosePrinterModel(NetworkPrinter *printer, const char *infPath)
{
    InfPlatform platform;
    ReadThisPlatform(&platform);
    LogLine("Platform: %s (models of the INF for %s)", PcEnvironment(), platform.architecture);
    InfModels models;
    ReadInfModels(infPath, &platform, &models);
    char offered[MODEL_LIST_SIZE];
    JoinModelNames(&models, offered);
    if (printer->model[0] && HasModel(&models, printer->model)) {
        LogLine("Model: \"%s\" (given with /model)", printer->model);
        return 1;
    }
    if (!printer->model[0] && models.count == 1) {
        copy_bounded(printer->model, models.names[0]);
        LogLine("Model: \"%s\" (the INF's only model for %s)", printer->model, platform.architecture);
        return 1;
    }
    if (printer->model[0]) {
        LogLine("Model: the INF offers no \"%s\" for %s; it offers %s", printer->model, platform.architecture, offered);
    } else {
        LogLine("Model: the INF offers %s for %s; /model names one", offered, platform.architecture);
    }
    SetOutcome(ERROR_INVALID_COMMAND_LINE, NULL);
    return 0;
}

int SetUpNetworkPrinter(const NetworkPrinter *printer, const char *infPath, char (&failure)[MAX_PATH])
{
    char port[MAX_PORTNAME_LEN];
    BuildPortName(printer->host, port);
    LogLine("Network printer: \"%s\" on %s", printer->name, port);
    failure[0] = '\0';
    return SetUpDriver(printer->model, infPath, failure) && SetUpPort(printer, port, failure) &&
           SetUpQueue(printer->name, port, printer->model, failure) &&
           VerifyQueue(printer->name, port, printer->model, failure);
}

/* --- taking it off ------------------------------------------------------------------- */

/* The port goes when it is a Standard TCP/IP port no other printer uses. */
static int RemovePort(const char *port)
{
    DWORD error;
    if (PortListed(port, TCP_MONITOR_NAME, &error) != 1) {
        LogLine("Port: %s is no Standard TCP/IP port: kept", port);
        return 1;
    }
    int users = CountQueuesUsing(port, NULL, "Port kept, used by");
    if (users != 0) {
        if (users < 0) LogLine("Port: %s kept: its printers cannot be listed", port);
        return 1;
    }
    static DELETE_PORT_DATA_1 data;
    memset(&data, 0, sizeof data);
    Widen(port, data.psztPortName, MAX_PORTNAME_LEN);
    data.dwVersion = 1;
    char object[MAX_PATH];
    format_bounded(object, XCV_PORT "%s", port);
    DWORD status;
    const char *call;
    if (!SendToMonitor(object, L"DeletePort", &data, sizeof data, &status, &call) || status != ERROR_SUCCESS) {
        LogLine("Port: %s cannot be deleted: %s (error %lu)", port, call, (unsigned long)status);
        return 0;
    }
    LogLine("Port: %s deleted", port);
    return 1;
}

/* The driver goes when no other printer uses it; one Windows keeps is logged. */
static void RemoveDriver(const char *driver)
{
    int users = CountQueuesUsing(NULL, driver, "Driver kept, used by");
    if (users != 0) {
        if (users < 0) LogLine("Driver: \"%s\" kept: its printers cannot be listed", driver);
        return;
    }
    DeletePrinterDriverExFunction remove = (DeletePrinterDriverExFunction)Spooler("DeletePrinterDriverExA");
    char environment[MAX_PATH], name[MAX_PATH];
    copy_bounded(environment, PcEnvironment());
    copy_bounded(name, driver);
    if (remove && remove(NULL, environment, name, DPD_DELETE_UNUSED_FILES, 0)) {
        LogLine("Driver: \"%s\" deleted for %s", driver, environment);
        return;
    }
    LogLine("Driver: \"%s\" kept: DeletePrinterDriverExA (error %lu)", driver,
            (unsigned long)(remove ? GetLastError() : ERROR_PROC_NOT_FOUND));
}

int RemoveNetworkPrinter(const char *name)
{
    Queue queue;
    DWORD error;
    int opened = OpenQueue(name, &queue, &error);
    if (opened == 0) {
        LogLine("Printer: \"%s\" is not on this PC", name);
        return 1;
    }
    if (opened < 0 || !ReadQueue(&queue, &error)) {
        LogLine("Printer: \"%s\" cannot be read: %s (error %lu)", name, opened < 0 ? "OpenPrinterA" : "GetPrinterA",
                (unsigned long)error);
        CloseQueue(&queue);
        return 0;
    }
    char port[MAX_PATH], driver[MAX_PATH];
    copy_bounded(port, Text(queue.info->pPortName));
    copy_bounded(driver, Text(queue.info->pDriverName));
    DeletePrinterFunction remove = (DeletePrinterFunction)Spooler("DeletePrinter");
    int deleted = remove && remove(queue.handle);
    error = remove ? GetLastError() : ERROR_PROC_NOT_FOUND;
    CloseQueue(&queue);
    if (!deleted) {
        LogLine("Printer: \"%s\" cannot be deleted: DeletePrinter (error %lu)", name, (unsigned long)error);
        return 0;
    }
    LogLine("Printer: \"%s\" deleted (port %s, driver \"%s\")", name, port, driver);
    int portGone = RemovePort(port);
    RemoveDriver(driver);
    return portGone;
}

void LogPrintersUsingPackage(const char *infPath)
{
    InfPlatform platform;
    ReadThisPlatform(&platform);
    InfModels models;
    ReadInfModels(infPath, &platform, &models);
    for (int i = 0; i < models.count; i++) CountQueuesUsing(NULL, models.names[i], "Still using the package");
}
