/* The command line's own ends: the help and a line that is not understood. */
#ifndef STARTUP_USAGE_H
#define STARTUP_USAGE_H

#include "startup/command_line.h"

/* Shows the switches and the exit codes in an information box without owner.
 * Returns the exit code, 0. */
int ShowUsage(void);

/* Names the argument not understood, with the usage, in an error box without
 * owner; where nothing is shown only logs it, where a log can be written.  Returns the
 * exit code, ERROR_INVALID_COMMAND_LINE. */
int RefuseCommandLine(const LaunchOptions *options);

#endif
