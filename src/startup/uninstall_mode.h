/* The removal (/uninstall): the driver package this package staged taken off
 * the PC again, in window or quiet mode. */
#ifndef STARTUP_UNINSTALL_MODE_H
#define STARTUP_UNINSTALL_MODE_H

#include "startup/command_line.h"

/* The start-up checks and the version policy as an installation makes them,
 * the INF to remove, its published copies, the question (not in quiet mode),
 * then each copy removed with the system's pnputil -d.  Ends the launch and
 * returns the exit code, the same in both modes. */
int RunUninstallMode(const LaunchOptions *options);

#endif
