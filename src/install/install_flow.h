/* The installation run started by the page's OK button. */
#ifndef INSTALL_INSTALL_FLOW_H
#define INSTALL_INSTALL_FLOW_H

#include <windows.h>

/* Runs the installation for the page's OK button; always ends the launch. */
void RunInstallationFlow(HWND page);

#endif
