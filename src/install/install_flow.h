/* The installation run started by the page's OK button. */
#ifndef INSTALL_INSTALL_FLOW_H
#define INSTALL_INSTALL_FLOW_H

#include <windows.h>

/* Runs the installation for the page's OK button; always ends the launch. */
void RunInstallationFlow(HWND page);

/* The installation up to its outcome message: the package check, staging,
 * and the Add Printer wizard when the page's network option is ticked.  Its
 * boxes are owned by page; quiet mode passes none (no page, no wizard). */
void RunInstallation(HWND page);

#endif
