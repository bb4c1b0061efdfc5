/* Quiet mode (/quiet): the installation with no window of any kind. */
#ifndef STARTUP_QUIET_MODE_H
#define STARTUP_QUIET_MODE_H

#include "startup/command_line.h"

/* The start-up checks, the version policy, then the installation as OK on the
 * page runs it with "Use a network port" unticked (the Add Printer wizard
 * needs a user), the staging tool's restart codes passed on; with /printer,
 * the network printer set up on the staged driver.  Every end records its
 * outcome, which is the exit code. */
void RunQuietMode(LaunchOptions *options);

#endif
