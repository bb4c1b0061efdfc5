#include "install/spooler_list.h"

#include "common/bounded.h"
#include "common/system_library.h"

/* winspool.drv's Enum* functions, looked up when needed: the spooler's DLL
 * is not one Windows always takes from the system folder. */
typedef BOOL(WINAPI *EnumPrintersFunction)(DWORD flags, LPSTR name, DWORD level, LPBYTE printers, DWORD size,
                                           LPDWORD needed, LPDWORD returned);
typedef BOOL(WINAPI *EnumPortsFunction)(LPSTR server, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                                        LPDWORD returned);
typedef BOOL(WINAPI *EnumPrinterDriversFunction)(LPSTR server, LPSTR environment, DWORD level, LPBYTE drivers,
                                                 DWORD size, LPDWORD needed, LPDWORD returned);

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

static const char *const LIST_FUNCTIONS[] = {"EnumPrintersA", "EnumPortsA", "EnumPrinterDriversA"};

/* One call of the list's function into block of size bytes. */
static BOOL AskSpooler(SystemFunction function, SpoolerListKind kind, DWORD flags, LPSTR environment, DWORD level,
                       BYTE *block, DWORD size, DWORD *needed, DWORD *returned)
{
    switch (kind) {
    case LIST_PRINTERS:
        return ((EnumPrintersFunction)function)(flags, NULL, level, block, size, needed, returned);
    case LIST_PORTS: return ((EnumPortsFunction)function)(NULL, level, block, size, needed, returned);
    default: return ((EnumPrinterDriversFunction)function)(NULL, environment, level, block, size, needed, returned);
    }
}

int ReadSpoolerList(SpoolerListKind kind, DWORD flags, const char *environment, DWORD level, SpoolerList *list)
{
    char name[MAX_PATH] = "";
    if (environment) copy_bounded(name, environment);
    SystemFunction function = FindSystemFunction("winspool.drv", LIST_FUNCTIONS[kind]);
    DWORD size = 0, needed = 0;
    list->block = NULL;
    list->count = 0;
    list->outOfMemory = 0;
    list->error = GetLastError();
    while (function) {
        if (AskSpooler(function, kind, flags, environment ? name : NULL, level, list->block, size, &needed,
                       &list->count))
            return 1;
        list->error = GetLastError();
        ReleaseSpoolerList(list);
        if (list->error != ERROR_INSUFFICIENT_BUFFER) break;
        LONG allocationError;
        list->block = (BYTE *)AllocateBlock(needed, &allocationError);
        if (!list->block) {
            list->error = (DWORD)allocationError;
            list->outOfMemory = 1;
            break;
        }
        size = needed;
    }
    return 0;
}

void ReleaseSpoolerList(SpoolerList *list)
{
    if (list->block) ReleaseBlock(list->block);
    list->block = NULL;
}
