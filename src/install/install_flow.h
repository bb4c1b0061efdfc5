/* The installation: the package check, staging, and the Add Printer wizard
 * when the page's network option is ticked. */
#ifndef INSTALL_INSTALL_FLOW_H
#define INSTALL_INSTALL_FLOW_H

#include <windows.h>

/* Runs the installation up to its outcome message.  Its boxes are owned by
 * page, and its tools by the page's frame, which stays alive while they run;
 * with no page (quiet mode) there is neither, and no wizard.  With
 * restartIsStaged, the staging tool's "staged, restart needed" codes (3010,
 * 1641) are the outcome; else every code but 0 is an abort. */
void RunInstallation(HWND page, int restartIsStaged);

#endif
