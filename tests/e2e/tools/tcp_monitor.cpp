/* Stand-in "Standard TCP/IP Port" port monitor (e2e_tcpmon.dll), for the
 * prefixes of the end-to-end tests, whose Wine has no TCP/IP monitor of its
 * own.  The spooler loads it in the calling process as it loads any port
 * monitor, through InitializePrintMonitor2, once it is registered with
 * AddMonitor.  It keeps its ports where Windows' monitor keeps them, under
 * HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port\Ports,
 * so a second process sees them, and it takes the Xcv commands "AddPort"
 * (PORT_DATA_1) and "DeletePort" (DELETE_PORT_DATA_1).  It prints nothing
 * and connects to nothing.
 *
 * Environment variables, read in the calling process:
 *   E2E_TCPMON_LOG             Windows path of a file that gets one JSON line
 *                              for every Xcv open, command and close;
 *   E2E_TCPMON_ADDPORT_STATUS  a number: "AddPort" returns it and adds nothing. */
#include <string.h>
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include "common/json_line.h"
#include "common/text.h"
#include "install/tcp_port_data.h"
#include "tools/tool_log.h"

#define LOG_VARIABLE "E2E_TCPMON_LOG"
#define ADD_PORT_STATUS_VARIABLE "E2E_TCPMON_ADDPORT_STATUS"
#define WIDE_MONITOR_NAME L"" TCP_MONITOR_NAME
#define PORTS_KEY L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" TCP_MONITOR_NAME "\\Ports"
#define MOST_PORTS 64
#define MOST_XCV_HANDLES 16
#define MOST_LOGGED_INPUT 2048

/* What XcvOpenPort handed out: the object named after ",XcvMonitor " or
 * ",XcvPort " and the access the spooler handed over (Wine: the access asked for). */
struct XcvHandle {
    int used;
    WCHAR object[MAX_PATH];
    ACCESS_MASK access;
};

static XcvHandle xcvHandles[MOST_XCV_HANDLES];
static CRITICAL_SECTION handleLock;
static int monitorToken; /* its address is the monitor handle */

/* --- text ------------------------------------------------------------------ */

/* The ANSI text of a WCHAR field of count characters that need not end in a NUL. */
template <size_t N> static void FieldText(char (&dst)[N], const WCHAR *field, size_t count)
{
    size_t length = 0;
    while (length < count && field[length]) length++;
    int written = WideCharToMultiByte(CP_ACP, 0, field, (int)length, dst, (int)N - 1, NULL, NULL);
    dst[written > 0 ? written : 0] = '\0';
}

/* True when the field holds a NUL within its count characters, after at least one character. */
static int FieldEnds(const WCHAR *field, size_t count)
{
    for (size_t i = 0; i < count; i++)
        if (!field[i]) return i > 0;
    return 0;
}

/* A port name fit for a registry key name: not empty, ended, no backslash. */
static int PortNameFits(const WCHAR *name, size_t count)
{
    return FieldEnds(name, count) && !wcschr(name, L'\\');
}

/* --- the ports in the registry --------------------------------------------- */

template <size_t N> static int PortKeyPath(WCHAR (&path)[N], const WCHAR *port)
{
    size_t length = wcslen(PORTS_KEY) + 1 + wcslen(port);
    if (length >= N) return 0;
    wcscpy(path, PORTS_KEY);
    wcscat(path, L"\\");
    wcscat(path, port);
    return 1;
}

static int PortExists(const WCHAR *port)
{
    WCHAR path[MAX_PATH];
    HKEY key;
    if (!PortKeyPath(path, port) || RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

static LONG SetText(HKEY key, const WCHAR *name, const WCHAR *field, size_t count)
{
    WCHAR text[MAX_NETWORKNAME_LEN + 1];
    size_t length = 0;
    while (length < count && length + 1 < sizeof text / sizeof text[0] && field[length]) {
        text[length] = field[length];
        length++;
    }
    text[length] = L'\0';
    return RegSetValueExW(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)((length + 1) * sizeof(WCHAR)));
}

static LONG SetNumber(HKEY key, const WCHAR *name, DWORD value)
{
    return RegSetValueExW(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
}

/* Writes the port's values as Windows' monitor names them. */
static LONG WritePortValues(HKEY key, const PORT_DATA_1 *data)
{
    LONG result = SetNumber(key, L"Protocol", data->dwProtocol);
    if (result == ERROR_SUCCESS) result = SetNumber(key, L"Version", data->dwVersion);
    if (result == ERROR_SUCCESS) result = SetText(key, L"HostName", data->sztHostAddress, MAX_NETWORKNAME_LEN);
    if (result == ERROR_SUCCESS) result = SetText(key, L"IPAddress", data->sztIPAddress, MAX_IPADDR_STR_LEN);
    if (result == ERROR_SUCCESS) result = SetNumber(key, L"PortNumber", data->dwPortNumber);
    if (result == ERROR_SUCCESS) result = SetText(key, L"Queue", data->sztQueue, MAX_QUEUENAME_LEN);
    if (result == ERROR_SUCCESS) result = SetNumber(key, L"Double Spool", data->dwDoubleSpool);
    if (result == ERROR_SUCCESS)
        result = SetText(key, L"SNMP Community", data->sztSNMPCommunity, MAX_SNMP_COMMUNITY_STR_LEN);
    if (result == ERROR_SUCCESS) result = SetNumber(key, L"SNMP Enabled", data->dwSNMPEnabled);
    if (result == ERROR_SUCCESS) result = SetNumber(key, L"SNMP Index", data->dwSNMPDevIndex);
    return result;
}

static DWORD StorePort(const PORT_DATA_1 *data)
{
    WCHAR path[MAX_PATH];
    HKEY key;
    DWORD disposition = 0;
    if (!PortKeyPath(path, data->sztPortName)) return ERROR_INVALID_PARAMETER;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_WRITE, NULL, &key, &disposition);
    if (result != ERROR_SUCCESS) return (DWORD)result;
    if (disposition == REG_OPENED_EXISTING_KEY) {
        RegCloseKey(key);
        return ERROR_ALREADY_EXISTS;
    }
    result = WritePortValues(key, data);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
    return (DWORD)result;
}

static DWORD RemovePort(const WCHAR *port)
{
    WCHAR path[MAX_PATH];
    if (!PortKeyPath(path, port)) return ERROR_INVALID_PARAMETER;
    LONG result = RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
    return result == ERROR_FILE_NOT_FOUND ? ERROR_UNKNOWN_PORT : (DWORD)result;
}

/* Reads up to MOST_PORTS port names; returns how many. */
static DWORD ReadPortNames(WCHAR (&names)[MOST_PORTS][MAX_PORTNAME_LEN])
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, PORTS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD count = 0;
    for (DWORD index = 0; count < MOST_PORTS; index++) {
        DWORD length = MAX_PORTNAME_LEN;
        LONG result = RegEnumKeyExW(key, index, names[count], &length, NULL, NULL, NULL, NULL);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_SUCCESS) count++;
    }
    RegCloseKey(key);
    return count;
}

/* --- the log ---------------------------------------------------------------- */

static void LogHex(JsonLine *line, const char *key, const BYTE *data, DWORD size)
{
    static char hex[2 * MOST_LOGGED_INPUT + 1];
    static const char digits[] = "0123456789abcdef";
    DWORD shown = size < MOST_LOGGED_INPUT ? size : MOST_LOGGED_INPUT;
    for (DWORD i = 0; data && i < shown; i++) {
        hex[2 * i] = digits[data[i] >> 4];
        hex[2 * i + 1] = digits[data[i] & 15];
    }
    hex[data ? 2 * shown : 0] = '\0';
    JsonString(line, key, hex);
    JsonBool(line, "input_cut", data && shown < size);
}

static void LogWideField(JsonLine *line, const char *key, const WCHAR *field, size_t count)
{
    char text[128];
    FieldText(text, field, count);
    JsonString(line, key, text);
}

static void LogPortData(JsonLine *line, const PORT_DATA_1 *data)
{
    JsonOpenObject(line, "port_data");
    LogWideField(line, "port_name", data->sztPortName, MAX_PORTNAME_LEN);
    JsonNumber(line, "version", data->dwVersion);
    JsonNumber(line, "protocol", data->dwProtocol);
    JsonNumber(line, "cb_size", data->cbSize);
    JsonNumber(line, "reserved", data->dwReserved);
    LogWideField(line, "host_address", data->sztHostAddress, MAX_NETWORKNAME_LEN);
    LogWideField(line, "snmp_community", data->sztSNMPCommunity, MAX_SNMP_COMMUNITY_STR_LEN);
    JsonNumber(line, "double_spool", data->dwDoubleSpool);
    LogWideField(line, "queue", data->sztQueue, MAX_QUEUENAME_LEN);
    LogWideField(line, "ip_address", data->sztIPAddress, MAX_IPADDR_STR_LEN);
    JsonNumber(line, "port_number", data->dwPortNumber);
    JsonNumber(line, "snmp_enabled", data->dwSNMPEnabled);
    JsonNumber(line, "snmp_device_index", data->dwSNMPDevIndex);
    JsonCloseObject(line);
}

static void LogDeleteData(JsonLine *line, const DELETE_PORT_DATA_1 *data)
{
    JsonOpenObject(line, "delete_data");
    LogWideField(line, "port_name", data->psztPortName, MAX_PORTNAME_LEN);
    JsonNumber(line, "version", data->dwVersion);
    JsonNumber(line, "reserved", data->dwReserved);
    JsonCloseObject(line);
}

static void LogOpen(const WCHAR *object, ACCESS_MASK access, int granted)
{
    static JsonLine line;
    char text[MAX_PATH];
    FieldText(text, object ? object : L"", MAX_PATH);
    JsonBegin(&line);
    JsonString(&line, "event", "xcv_open");
    JsonString(&line, "object", text);
    JsonBool(&line, "object_null", object == NULL);
    JsonHex(&line, "access", access);
    JsonBool(&line, "opened", granted);
    JsonNumber(&line, "process_bits", (long long)sizeof(void *) * 8);
    LogJsonLine(LOG_VARIABLE, &line);
}

/* --- the Xcv commands -------------------------------------------------------- */

/* Adds the port, unless the test asked the monitor to refuse.  Statuses as
 * "TCPMON Xcv Commands" gives them; ERROR_INVALID_PARAMETER for a size that is
 * not PORT_DATA_1's.  Wine hands the monitor the access asked for in
 * OpenPrinter as it is, so SERVER_ACCESS_ADMINISTER must be asked for. */
static DWORD AddPort(const XcvHandle *xcv, const BYTE *input, DWORD size)
{
    long asked = EnvNumber(ADD_PORT_STATUS_VARIABLE, -1);
    if (asked >= 0) return (DWORD)asked;
    if (!(xcv->access & SERVER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    if (!input) return ERROR_INVALID_DATA;
    if (size != sizeof(PORT_DATA_1)) return ERROR_INVALID_PARAMETER;
    const PORT_DATA_1 *data = (const PORT_DATA_1 *)input;
    if (data->dwVersion != 1) return ERROR_INVALID_LEVEL;
    if (data->cbSize != sizeof(PORT_DATA_1)) return ERROR_INVALID_PARAMETER;
    if (!PortNameFits(data->sztPortName, MAX_PORTNAME_LEN) || !FieldEnds(data->sztHostAddress, MAX_NETWORKNAME_LEN))
        return ERROR_INVALID_PARAMETER;
    if (PortExists(data->sztPortName)) return ERROR_ALREADY_EXISTS;
    return StorePort(data);
}

static DWORD DeletePort(const XcvHandle *xcv, const BYTE *input, DWORD size)
{
    if (!(xcv->access & SERVER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
    if (!input) return ERROR_INVALID_DATA;
    if (size != sizeof(DELETE_PORT_DATA_1)) return ERROR_INVALID_PARAMETER;
    const DELETE_PORT_DATA_1 *data = (const DELETE_PORT_DATA_1 *)input;
    if (data->dwVersion != 1) return ERROR_INVALID_LEVEL;
    if (!PortNameFits(data->psztPortName, MAX_PORTNAME_LEN)) return ERROR_INVALID_PARAMETER;
    return RemovePort(data->psztPortName);
}

static DWORD RunCommand(const XcvHandle *xcv, const WCHAR *name, const BYTE *input, DWORD size)
{
    if (name && !wcscmp(name, L"AddPort")) return AddPort(xcv, input, size);
    if (name && !wcscmp(name, L"DeletePort")) return DeletePort(xcv, input, size);
    return ERROR_INVALID_PARAMETER;
}

/* --- the monitor's entries ------------------------------------------------- */

static BOOL WINAPI MonitorXcvOpenPort(HANDLE monitor, LPCWSTR object, ACCESS_MASK access, PHANDLE xcv)
{
    (void)monitor;
    XcvHandle *found = NULL;
    EnterCriticalSection(&handleLock);
    for (int i = 0; i < MOST_XCV_HANDLES && !found; i++) {
        if (xcvHandles[i].used) continue;
        found = &xcvHandles[i];
        found->used = 1;
        found->access = access;
        found->object[0] = L'\0';
        if (object) wcsncat(found->object, object, MAX_PATH - 1);
    }
    LeaveCriticalSection(&handleLock);
    LogOpen(object, access, found != NULL);
    if (!found) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    *xcv = (HANDLE)found;
    return TRUE;
}

static DWORD WINAPI MonitorXcvDataPort(HANDLE handle, LPCWSTR name, PBYTE input, DWORD inputSize, PBYTE output,
                                       DWORD outputSize, PDWORD outputNeeded)
{
    (void)output, (void)outputSize;
    const XcvHandle *xcv = (const XcvHandle *)handle;
    if (outputNeeded) *outputNeeded = 0;
    DWORD status = RunCommand(xcv, name, input, inputSize);
    static JsonLine line;
    char text[128];
    FieldText(text, name ? name : L"", 64);
    JsonBegin(&line);
    JsonString(&line, "event", "xcv_data");
    JsonString(&line, "name", text);
    FieldText(text, xcv->object, MAX_PATH);
    JsonString(&line, "object", text);
    JsonHex(&line, "access", xcv->access);
    JsonNumber(&line, "cb_input", inputSize);
    JsonNumber(&line, "cb_output", outputSize);
    LogHex(&line, "input_hex", input, inputSize);
    if (input && inputSize >= sizeof(PORT_DATA_1) && name && !wcscmp(name, L"AddPort"))
        LogPortData(&line, (const PORT_DATA_1 *)input);
    if (input && inputSize >= sizeof(DELETE_PORT_DATA_1) && name && !wcscmp(name, L"DeletePort"))
        LogDeleteData(&line, (const DELETE_PORT_DATA_1 *)input);
    JsonNumber(&line, "status", status);
    JsonNumber(&line, "process_bits", (long long)sizeof(void *) * 8);
    LogJsonLine(LOG_VARIABLE, &line);
    return status;
}

static BOOL WINAPI MonitorXcvClosePort(HANDLE handle)
{
    XcvHandle *xcv = (XcvHandle *)handle;
    static JsonLine line;
    char text[MAX_PATH];
    FieldText(text, xcv->object, MAX_PATH);
    JsonBegin(&line);
    JsonString(&line, "event", "xcv_close");
    JsonString(&line, "object", text);
    JsonNumber(&line, "process_bits", (long long)sizeof(void *) * 8);
    LogJsonLine(LOG_VARIABLE, &line);
    EnterCriticalSection(&handleLock);
    xcv->used = 0;
    LeaveCriticalSection(&handleLock);
    return TRUE;
}

/* Bytes of one PORT_INFO_1W or PORT_INFO_2W entry for port, strings included. */
static DWORD EntrySize(DWORD level, const WCHAR *port)
{
    DWORD strings = (DWORD)(wcslen(port) + 1) * sizeof(WCHAR);
    if (level == 1) return sizeof(PORT_INFO_1W) + strings;
    return sizeof(PORT_INFO_2W) + strings + 2 * (DWORD)sizeof(WIDE_MONITOR_NAME);
}

/* Copies text to the end of the free space below *end and returns where it went. */
static LPWSTR PlaceText(BYTE **end, const WCHAR *text)
{
    DWORD bytes = (DWORD)(wcslen(text) + 1) * sizeof(WCHAR);
    *end -= bytes;
    memcpy(*end, text, bytes);
    return (LPWSTR)*end;
}

static void FillEntry(DWORD level, BYTE *entries, DWORD index, BYTE **end, const WCHAR *port)
{
    if (level == 1) {
        ((PORT_INFO_1W *)entries)[index].pName = PlaceText(end, port);
        return;
    }
    PORT_INFO_2W *entry = &((PORT_INFO_2W *)entries)[index];
    entry->pPortName = PlaceText(end, port);
    entry->pMonitorName = PlaceText(end, WIDE_MONITOR_NAME);
    entry->pDescription = PlaceText(end, WIDE_MONITOR_NAME);
    entry->fPortType = PORT_TYPE_WRITE | PORT_TYPE_NET_ATTACHED;
    entry->Reserved = 0;
}

/* "EnumPorts": the ports of this monitor, as PORT_INFO_1W or PORT_INFO_2W. */
static BOOL WINAPI MonitorEnumPorts(HANDLE monitor, LPWSTR server, DWORD level, LPBYTE ports, DWORD size,
                                    LPDWORD needed, LPDWORD returned)
{
    (void)monitor, (void)server;
    static WCHAR names[MOST_PORTS][MAX_PORTNAME_LEN];
    *returned = 0;
    *needed = 0;
    if (level != 1 && level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    DWORD count = ReadPortNames(names);
    for (DWORD i = 0; i < count; i++) *needed += EntrySize(level, names[i]);
    if (*needed > size || (count && !ports)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    BYTE *end = ports + size;
    for (DWORD i = 0; i < count; i++) FillEntry(level, ports, i, &end, names[i]);
    *returned = count;
    return TRUE;
}

static BOOL WINAPI MonitorOpenPort(HANDLE monitor, LPWSTR name, PHANDLE port)
{
    (void)monitor, (void)name, (void)port;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

static BOOL WINAPI MonitorClosePort(HANDLE port)
{
    (void)port;
    return TRUE;
}

static VOID WINAPI MonitorShutdown(HANDLE monitor)
{
    (void)monitor;
}

static MONITOR2 monitorTable;

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE monitor)
{
    (void)init;
    static int ready;
    if (!ready) {
        InitializeCriticalSection(&handleLock);
        memset(&monitorTable, 0, sizeof monitorTable);
        monitorTable.cbSize = sizeof monitorTable;
        monitorTable.pfnEnumPorts = MonitorEnumPorts;
        monitorTable.pfnOpenPort = MonitorOpenPort;
        monitorTable.pfnClosePort = MonitorClosePort;
        monitorTable.pfnXcvOpenPort = MonitorXcvOpenPort;
        monitorTable.pfnXcvDataPort = MonitorXcvDataPort;
        monitorTable.pfnXcvClosePort = MonitorXcvClosePort;
        monitorTable.pfnShutdown = MonitorShutdown;
        ready = 1;
    }
    *monitor = (HANDLE)&monitorToken;
    return &monitorTable;
}
