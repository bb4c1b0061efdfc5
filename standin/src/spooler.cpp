/* winspool.drv's printer enumeration (reached only through GetProcAddress;
 * its other functions are in print_admin.cpp) and kernel32's global memory blocks. */
#include <standin.h>
#include <winspool.h>

#include <stdlib.h>
#include <string.h>

using standin::Log;
using standin::state;

/* Bytes a printer with short names takes in a level-2 answer: its record,
 * its texts and room left unused.  A printer takes more when its texts need it. */
static const DWORD kPrinterBytes = 248;

/* The printers flags ask for: the counted local printers ("Printer 1", ...
 * on LPT1: with printerDriver) and the named queues, then the connections
 * ("\\server\Shared 1", ... with "Connection driver" and no port). */
static std::vector<standin::PrintQueue> ListedPrinters(DWORD flags)
{
    std::vector<standin::PrintQueue> printers;
    if (flags & PRINTER_ENUM_LOCAL) {
        for (int i = 0; i < state().localPrinters; i++)
            printers.push_back({"Printer " + std::to_string(i + 1), "LPT1:", state().printerDriver});
        printers.insert(printers.end(), state().printQueues.begin(), state().printQueues.end());
    }
    if (flags & PRINTER_ENUM_CONNECTIONS) {
        for (int i = 0; i < state().printerConnections; i++)
            printers.push_back({"\\\\server\\Shared " + std::to_string(i + 1), "", "Connection driver"});
    }
    return printers;
}

static DWORD TextBytes(const std::string &text) { return text.empty() ? 0 : (DWORD)text.size() + 1; }

static DWORD PrinterBytes(const standin::PrintQueue &printer)
{
    DWORD bytes = sizeof(PRINTER_INFO_2A) + TextBytes(printer.name) + TextBytes(printer.port) +
                  TextBytes(printer.driver);
    return bytes > kPrinterBytes ? bytes : kPrinterBytes;
}

/* Copies text to *at and moves past it; NULL for an empty text. */
static LPSTR PutText(char **at, const std::string &text)
{
    if (text.empty()) return NULL;
    LPSTR copy = strcpy(*at, text.c_str());
    *at += text.size() + 1;
    return copy;
}

/* The level-2 records of the printers at buffer, their texts after them all. */
static void WritePrinters(LPBYTE buffer, const std::vector<standin::PrintQueue> &printers)
{
    PRINTER_INFO_2A *records = (PRINTER_INFO_2A *)buffer;
    char *texts = (char *)(records + printers.size());
    for (size_t i = 0; i < printers.size(); i++) {
        memset(&records[i], 0, sizeof records[i]);
        records[i].pPrinterName = PutText(&texts, printers[i].name);
        records[i].pPortName = PutText(&texts, printers[i].port);
        records[i].pDriverName = PutText(&texts, printers[i].driver);
    }
}

/* Lists local printers and connections as flags ask; a buffer too small for
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
    std::vector<standin::PrintQueue> listed = ListedPrinters(flags);
    *needed = 0;
    for (const standin::PrintQueue &printer : listed) *needed += PrinterBytes(printer);
    if (size < *needed || (*needed && !printers)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (*needed) memset(printers, 0x5A, *needed);  /* every byte the answer takes */
    WritePrinters(printers, listed);
    *returned = (DWORD)listed.size();
    return TRUE;
}

namespace standin {

FARPROC SpoolerExport(const char *name)
{
    if (strcmp(name, "EnumPrintersA") == 0) return (FARPROC)(void (*)(void))StandinEnumPrintersA;
    return PrintAdminExport(name);
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
