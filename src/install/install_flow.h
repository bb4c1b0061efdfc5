/* The installation: the package check, staging, and the Add Printer wizard
 * when the page's network option is ticked. */
#ifndef INSTALL_INSTALL_FLOW_H
#define INSTALL_INSTALL_FLOW_H

#include <windows.h>

#include "install/network_printer.h"

/* Runs the installation up to its outcome message.  Its boxes are owned by
 * page, and its tools by the page's frame, which answers its messages while
 * they run; with no page (quiet mode) there is neither, and no wizard.  The
 * staging tool's "staged, restart needed" codes (3010, 1641) are staged, and
 * the outcome; every other code but 0 is an abort.  With printer (quiet mode
 * only), its model is chosen before staging and the printer set up after it.
 * A quit message that came while a tool ran is posted again once the outcome
 * has been told. */
void RunInstallation(HWND page, NetworkPrinter *printer);

#endif
