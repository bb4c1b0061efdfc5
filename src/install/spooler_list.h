/* The print spooler's lists (printers, ports, printer drivers), each read
 * whole: asked again with a bigger buffer for as long as the spooler wants one. */
#ifndef INSTALL_SPOOLER_LIST_H
#define INSTALL_SPOOLER_LIST_H

#include <windows.h>

enum SpoolerListKind { LIST_PRINTERS, LIST_PORTS, LIST_DRIVERS };

/* A list as the spooler answered it: count records, their texts after them. */
struct SpoolerList {
    BYTE *block;      /* NULL for an empty list; ReleaseSpoolerList frees it */
    DWORD count;      /* after a failure: what the spooler had returned so far */
    DWORD error;      /* why it could not be read */
    int outOfMemory;  /* no buffer could be had for the answer */
};

/* Reads the list of kind at level: printers as flags say (PRINTER_ENUM_...),
 * drivers of environment.  Returns 1, or 0 with list->error (or outOfMemory). */
int ReadSpoolerList(SpoolerListKind kind, DWORD flags, const char *environment, DWORD level, SpoolerList *list);

void ReleaseSpoolerList(SpoolerList *list);

/* Allocates a zero-filled fixed block of size bytes.  Returns it with *error
 * 0, or NULL with *error -1 (size 0) or the system's error code. */
void *AllocateBlock(DWORD size, LONG *error);

/* Releases a block from AllocateBlock.  Returns 0, -1 for a NULL block, or the
 * system's error code. */
LONG ReleaseBlock(void *block);

#endif
