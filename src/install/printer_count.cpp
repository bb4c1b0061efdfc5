#include "install/printer_count.h"

#include <winspool.h>

#include <string.h>

#include "common/bounded.h"
#include "common/launch_log.h"
#include "common/names.h"
#include "common/system_library.h"

#define PRINTER_INFO_LEVEL 2

/* EnumPrintersA, looked up in winspool.drv when it is needed: the spooler's
 * DLL is not one Windows always takes from the system folder. */
typedef BOOL(WINAPI *EnumPrintersFunction)(DWORD flags, LPSTR name, DWORD level, LPBYTE printers, DWORD size,
                                           LPDWORD needed, LPDWORD returned);

void *AllocateBlock(DWORD size, LONG *error)
{
    if (size == 0) {
        *error = -1;
        return NULL;
    }
    void *block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    *error = block ? 0 : (LONG)GetLastError();
    return block;
}

LONG ReleaseBlock(void *block)
{
    if (!block) return -1;
    return GlobalFree(block) ? (LONG)GetLastError() : 0;
}

static void TraceSpoolerError(DWORD error)
{
    char line[256];
    format_bounded(line, "EnumPrinters FALSE = %ld", (long)(LONG)error);
    OutputDebugStringA(line);
}

/* Appends text and its terminator to list; 0 when it does not fit. */
static int KeepText(PrinterList *list, const char *text)
{
    size_t length = strlen(text) + 1;
    if (list->used + length > sizeof list->texts) return 0;
    memcpy(list->texts + list->used, text, length);
    list->used += length;
    return 1;
}

static void KeepPrinters(PrinterList *list, const PRINTER_INFO_2A *printers, DWORD count)
{
    list->used = 0;
    list->cut = 0;
    for (DWORD i = 0; i < count && !list->cut; i++) {
        size_t used = list->used;
        const char *name = printers[i].pPrinterName ? printers[i].pPrinterName : "";
        const char *driver = printers[i].pDriverName ? printers[i].pDriverName : "";
        if (!KeepText(list, name) || !KeepText(list, driver)) {
            list->used = used;
            list->cut = 1;
        }
    }
}

/* Asks the spooler again with a bigger buffer for as long as it wants one. */
static int EnumerateWith(EnumPrintersFunction enumPrinters, PrinterList *list)
{
    BYTE *buffer = NULL;
    DWORD size = 0;
    DWORD needed = 0;
    DWORD returned = 0;
    int count = -1;
    for (;;) {
        if (enumPrinters(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL, PRINTER_INFO_LEVEL, buffer, size,
                         &needed, &returned)) {
            count = (int)returned;
            if (list) KeepPrinters(list, (const PRINTER_INFO_2A *)buffer, returned);
            break;
        }
        DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER) {
            TraceSpoolerError(error);
            break;
        }
        if (buffer) ReleaseBlock(buffer);
        LONG allocationError;
        buffer = (BYTE *)AllocateBlock(needed, &allocationError);
        if (!buffer) {
            count = (int)returned;
            break;
        }
        size = needed;
    }
    if (buffer) ReleaseBlock(buffer);
    return count;
}

int CountPrinters(PrinterList *list)
{
    if (list) list->used = list->cut = 0;
    EnumPrintersFunction enumPrinters = (EnumPrintersFunction)FindSystemFunction("winspool.drv", "EnumPrintersA");
    if (!enumPrinters) {
        TraceSpoolerError(GetLastError());
        return -1;
    }
    return EnumerateWith(enumPrinters, list);
}

/* The driver name kept after name in list, or NULL when name is not there. */
static const char *KeptDriver(const PrinterList *list, const char *name)
{
    for (size_t at = 0; at < list->used;) {
        const char *kept = list->texts + at;
        const char *driver = kept + strlen(kept) + 1;
        if (IsName(kept, name)) return driver;
        at = (size_t)(driver + strlen(driver) + 1 - list->texts);
    }
    return NULL;
}

/* Logs, as what, each printer of from that other lacks. */
static void LogMissing(const PrinterList *from, const PrinterList *other, const char *what)
{
    for (size_t at = 0; at < from->used;) {
        const char *name = from->texts + at;
        const char *driver = name + strlen(name) + 1;
        if (!KeptDriver(other, name)) LogLine("%s: %s (driver %s)", what, name, driver);
        at = (size_t)(driver + strlen(driver) + 1 - from->texts);
    }
}

void LogPrinterChanges(const PrinterList *before, const PrinterList *after)
{
    LogMissing(after, before, "New printer");
    LogMissing(before, after, "Printer gone");
    if (before->cut || after->cut) LogLine("More printers than the list of their names holds");
}
