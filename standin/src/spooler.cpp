/* winspool.drv's printer enumeration (reached only through GetProcAddress)
 * and kernel32's global memory blocks. */
#include <standin.h>
#include <winspool.h>

#include <stdlib.h>
#include <string.h>

using standin::Log;
using standin::state;

/* Bytes one printer takes in a level-2 answer: its record and its strings. */
static const DWORD kPrinterBytes = 248;

/* The level-2 records of count printers at printers, their texts after them:
 * the local printers first ("Printer 1", ... with printerDriver), then the
 * connections ("\\server\Shared 1", ... with "Connection driver"). */
static void WritePrinters(LPBYTE printers, DWORD count, DWORD local)
{
    PRINTER_INFO_2A *records = (PRINTER_INFO_2A *)printers;
    char *texts = (char *)(records + count);
    for (DWORD i = 0; i < count; i++) {
        memset(&records[i], 0, sizeof records[i]);
        std::string name = i < local ? "Printer " + std::to_string(i + 1)
                                     : "\\\\server\\Shared " + std::to_string(i - local + 1);
        std::string driver = i < local ? state().printerDriver : "Connection driver";
        records[i].pPrinterName = strcpy(texts, name.c_str());
        texts += name.size() + 1;
        records[i].pDriverName = strcpy(texts, driver.c_str());
        texts += driver.size() + 1;
    }
}

/* Counts local printers and connections as flags ask; a buffer too small for
 * all of them gets nothing but the size needed.  No printers at all is a
 * success with a count of 0, whatever the buffer. */
static BOOL WINAPI StandinEnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE printers, DWORD size,
                                        LPDWORD needed, LPDWORD returned)
{
    Log("EnumPrintersA(" + std::to_string(flags) + "," + (name ? name : "NULL") + "," + std::to_string(level) +
        "," + std::to_string(size) + ")");
    DWORD error = 0;
    if (!state().spoolerAnswers.empty()) {
        state().localPrinters += state().spoolerAnswers.front().addPrinters;
        error = state().spoolerAnswers.front().error;
        state().spoolerAnswers.pop_front();
    }
    *returned = 0;
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    DWORD count = 0;
    if (flags & PRINTER_ENUM_LOCAL) count += (DWORD)state().localPrinters;
    if (flags & PRINTER_ENUM_CONNECTIONS) count += (DWORD)state().printerConnections;
    *needed = count * kPrinterBytes;
    if (size < *needed || (*needed && !printers)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (*needed) memset(printers, 0x5A, *needed);  /* every byte the answer takes */
    WritePrinters(printers, count, flags & PRINTER_ENUM_LOCAL ? (DWORD)state().localPrinters : 0);
    *returned = count;
    return TRUE;
}

namespace standin {

FARPROC SpoolerExport(const char *name)
{
    if (strcmp(name, "EnumPrintersA") == 0) return (FARPROC)(void (*)(void))StandinEnumPrintersA;
    return NULL;
}

}  // namespace standin

/* Modules stay loaded on the host: the call is only recorded. */
BOOL WINAPI FreeLibrary(HMODULE module)
{
    Log("FreeLibrary");
    return module != NULL;
}

/* Only fixed blocks.  Without GMEM_ZEROINIT the block holds leftovers. */
HGLOBAL WINAPI GlobalAlloc(UINT flags, size_t bytes)
{
    Log("GlobalAlloc(" + std::to_string(flags) + "," + std::to_string(bytes) + ")");
    if (state().allocationsBeforeFailure == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    if (state().allocationsBeforeFailure > 0) state().allocationsBeforeFailure--;
    if (flags & ~(UINT)GMEM_ZEROINIT) abort();  /* movable or other blocks: not used */
    void *block = malloc(bytes ? bytes : 1);
    memset(block, (flags & GMEM_ZEROINIT) ? 0 : 0xCD, bytes);
    state().globalBlocks[block] = bytes;
    return block;
}

/* NULL on success (and for NULL); the block itself when it is no live block. */
HGLOBAL WINAPI GlobalFree(HGLOBAL block)
{
    Log("GlobalFree");
    if (!block) return NULL;
    auto live = state().globalBlocks.find(block);
    if (live == state().globalBlocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return block;
    }
    free(block);
    state().globalBlocks.erase(live);
    return NULL;
}
