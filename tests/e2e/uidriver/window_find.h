/* Finding the visible top-level windows that match the driver's filters. */
#ifndef E2E_UIDRIVER_WINDOW_FIND_H
#define E2E_UIDRIVER_WINDOW_FIND_H

#include <windows.h>

#include "uidriver/options.h"

#define MAX_FOUND_WINDOWS 32

struct FoundWindows {
    HWND windows[MAX_FOUND_WINDOWS];
    int count;
};

/* Writes the base name of the executable of the process owning window ("" if unknown). */
void ReadWindowExe(HWND window, char (&exe)[MAX_PATH]);

/* Collects, in z-order (top first), the visible top-level windows matching options. */
void FindMatchingWindows(const DriverOptions *options, FoundWindows *found);

/* Waits (up to options->timeoutMs) until at least options->count windows match.
 * Returns 1 when they do; found holds the latest result either way. */
int WaitForWindows(const DriverOptions *options, FoundWindows *found);

/* Waits (up to options->timeoutMs) until no window matches.  Returns 1 when none does. */
int WaitForNoWindows(const DriverOptions *options, FoundWindows *found);

#endif
