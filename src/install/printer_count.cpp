#include "install/printer_count.h"

#include <winspool.h>

#include <string.h>

#include "common/bounded.h"
#include "common/launch_log.h"
#include "common/names.h"

#define PRINTER_INFO_LEVEL 2

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

/* A spooler error is traced; without a buffer for the answer the count is
 * what the spooler gave so far (0). */
int CountPrinters(PrinterList *list)
{
    if (list) list->used = list->cut = 0;
    SpoolerList printers;
    if (!ReadSpoolerList(LIST_PRINTERS, PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, NULL, PRINTER_INFO_LEVEL,
                         &printers)) {
        if (printers.outOfMemory) return (int)printers.count;
        TraceSpoolerError(printers.error);
        return -1;
    }
    if (list) KeepPrinters(list, (const PRINTER_INFO_2A *)printers.block, printers.count);
    ReleaseSpoolerList(&printers);
    return (int)printers.count;
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
