/* Counting the printers the system knows, to judge what the Add Printer wizard did. */
#ifndef INSTALL_PRINTER_COUNT_H
#define INSTALL_PRINTER_COUNT_H

#include <windows.h>

#include "install/spooler_list.h"

#define PRINTER_LIST_SIZE 32768

/* The printers counted: each one's name and driver name, terminated texts
 * one after another; the printers that do not fit are left out (cut). */
struct PrinterList {
    char texts[PRINTER_LIST_SIZE];
    size_t used;
    int cut;
};

/* Counts local printers and printer connections, keeping their names and
 * drivers in list when one is given.  Returns the count (0 or more), or -1
 * when the spooler reports an error (written to the debug trace with its
 * code).  When no buffer can be had for the answer, returns the count the
 * spooler gave so far (0). */
int CountPrinters(PrinterList *list);

/* Logs each printer of after that before lacks, with its driver (Windows may
 * choose its own class driver over the package's), and each that went. */
void LogPrinterChanges(const PrinterList *before, const PrinterList *after);

#endif
