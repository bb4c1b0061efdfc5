/* Reporting a top-level window as one JSON line: what it is, where, who owns
 * it, its controls, and for a message box its text, buttons and icon kind. */
#ifndef E2E_UIDRIVER_WINDOW_REPORT_H
#define E2E_UIDRIVER_WINDOW_REPORT_H

#include <windows.h>

/* Prints {"event":"window", ...} for window. */
void ReportWindow(HWND window);

/* Finds the child button whose text, without '&', equals label; NULL if none. */
HWND FindButton(HWND window, const char *label);

#endif
