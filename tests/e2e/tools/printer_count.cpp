/* Printer probe: prints {"event":"printers","count":N,"names":[...]} for the
 * local and connected printers, as the launcher will count them. */
#include <stdlib.h>
#include <windows.h>
#include <winspool.h>

#include "common/json_line.h"

#define PRINTER_FLAGS (PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS)

int main(void)
{
    static JsonLine line;
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_FLAGS, NULL, 2, NULL, 0, &needed, &count);
    BYTE *buffer = needed ? (BYTE *)calloc(1, needed) : NULL;
    BOOL ok = EnumPrintersA(PRINTER_FLAGS, NULL, 2, buffer, needed, &needed, &count);
    JsonBegin(&line);
    JsonString(&line, "event", "printers");
    JsonBool(&line, "ok", ok);
    JsonNumber(&line, "error", ok ? 0 : (long long)GetLastError());
    JsonNumber(&line, "count", ok ? count : 0);
    JsonOpenArray(&line, "names");
    const PRINTER_INFO_2A *printers = (const PRINTER_INFO_2A *)buffer;
    for (DWORD i = 0; ok && i < count; ++i) JsonString(&line, NULL, printers[i].pPrinterName);
    JsonCloseArray(&line);
    JsonEnd(&line);
    free(buffer);
    return ok ? 0 : 1;
}
