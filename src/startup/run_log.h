/* The run's log: opened as the command line asks, with its header, and its
 * last line when the launch ends. */
#ifndef STARTUP_RUN_LOG_H
#define STARTUP_RUN_LOG_H

#include "startup/command_line.h"

/* Opens the /log file, or in quiet mode and for a removal a new log in the
 * temp folder (none when that cannot be made; none for the package check),
 * and writes the run's header: the product and its version, the
 * command line, the program's path, the launch folder, the Windows version as
 * the launcher sees it, WOW64 and the mode.  Returns 0 only when the /log
 * file cannot be opened. */
int StartRunLog(const LaunchOptions *options);

/* Tells that the /log file cannot be opened: an error box without owner, no
 * box where nothing is shown.  Returns the exit code, ERROR_INSTALL_LOG_FAILURE. */
int RefuseLogFile(const LaunchOptions *options);

/* Ends the launch: its outcome is the exit code, but in window mode's
 * installation windowCode.  Logs it and closes the log. */
int EndRun(const LaunchOptions *options, int windowCode);

#endif
