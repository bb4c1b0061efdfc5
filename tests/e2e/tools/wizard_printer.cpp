#include "tools/wizard_printer.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <winspool.h>

#define WIZARD_DRIVER_NAME "Wine PostScript Driver"

/* Registers Wine's PostScript driver; already there counts as success. */
static int AddPostScriptDriver(void)
{
    DRIVER_INFO_3A driver;
    memset(&driver, 0, sizeof driver);
    driver.cVersion = 3;
    driver.pName = (LPSTR)WIZARD_DRIVER_NAME;
    driver.pDriverPath = (LPSTR)"wineps.drv";
    driver.pDataFile = (LPSTR)"wineps.drv";
    driver.pConfigFile = (LPSTR)"wineps.drv";
    if (AddPrinterDriverA(NULL, 3, (LPBYTE)&driver)) return 1;
    return GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}

/* Adds the printer itself on the FILE: port. */
static int AddFilePrinter(const char *name)
{
    PRINTER_INFO_2A printer;
    memset(&printer, 0, sizeof printer);
    printer.pPrinterName = (LPSTR)name;
    printer.pPortName = (LPSTR)"FILE:";
    printer.pDriverName = (LPSTR)WIZARD_DRIVER_NAME;
    printer.pPrintProcessor = (LPSTR)"WinPrint";
    printer.pDatatype = (LPSTR)"RAW";
    HANDLE handle = AddPrinterA(NULL, 2, (LPBYTE)&printer);
    if (!handle) return 0;
    ClosePrinter(handle);
    return 1;
}

int AddWizardPrinter(const char *name, char *detail, unsigned detailSize)
{
    if (!AddPostScriptDriver()) {
        snprintf(detail, detailSize, "AddPrinterDriverA failed: %lu", GetLastError());
        return 0;
    }
    if (!AddFilePrinter(name)) {
        snprintf(detail, detailSize, "AddPrinterA failed: %lu", GetLastError());
        return 0;
    }
    snprintf(detail, detailSize, "added printer %s", name);
    return 1;
}

int RemoveWizardPrinter(const char *name, char *detail, unsigned detailSize)
{
    PRINTER_DEFAULTSA access = {NULL, NULL, PRINTER_ALL_ACCESS};
    HANDLE handle = NULL;
    if (!OpenPrinterA((LPSTR)name, &handle, &access)) {
        snprintf(detail, detailSize, "OpenPrinterA failed: %lu", GetLastError());
        return 0;
    }
    BOOL deleted = DeletePrinter(handle);
    DWORD error = GetLastError();
    ClosePrinter(handle);
    if (!deleted) {
        snprintf(detail, detailSize, "DeletePrinter failed: %lu", error);
        return 0;
    }
    snprintf(detail, detailSize, "removed printer %s", name);
    return 1;
}
