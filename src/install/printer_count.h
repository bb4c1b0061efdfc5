/* Counting the printers the system knows, to judge what the Add Printer wizard did. */
#ifndef INSTALL_PRINTER_COUNT_H
#define INSTALL_PRINTER_COUNT_H

#include <windows.h>

/* Counts local printers and printer connections.  Returns the count (0 or
 * more), or -1 when the spooler reports an error (written to the debug
 * trace with its code).  When no buffer can be had for the answer, returns
 * the count the spooler gave so far (0). */
int CountPrinters(void);

/* Allocates a zero-filled fixed block of size bytes.  Returns it with *error
 * 0, or NULL with *error -1 (size 0) or the system's error code. */
void *AllocateBlock(DWORD size, LONG *error);

/* Releases a block from AllocateBlock.  Returns 0, -1 for a NULL block, or the
 * system's error code. */
LONG ReleaseBlock(void *block);

#endif
