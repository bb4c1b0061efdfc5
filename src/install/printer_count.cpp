#include "install/printer_count.h"

#include <winspool.h>

#include "common/bounded.h"
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

/* Asks the spooler again with a bigger buffer for as long as it wants one. */
static int EnumerateWith(EnumPrintersFunction enumPrinters)
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

int CountPrinters(void)
{
    EnumPrintersFunction enumPrinters = (EnumPrintersFunction)FindSystemFunction("winspool.drv", "EnumPrintersA");
    if (!enumPrinters) {
        TraceSpoolerError(GetLastError());
        return -1;
    }
    return EnumerateWith(enumPrinters);
}
