/* Opening the launch's log as the command line asks, with its header. */
#ifndef DEPLOY_LOG_START_H
#define DEPLOY_LOG_START_H

/* Opens the /log file, or in quiet mode without /log a new log in the temp
 * folder (none when that cannot be made; none for the package check), and
 * writes the run's header: the
 * product and its version, the command line, the program's path, the launch
 * folder, the Windows version as the launcher sees it, WOW64 and the mode.
 * Returns 0 only when the /log file cannot be opened. */
int StartLaunchLog(void);

/* Tells that the /log file cannot be opened: an error box without owner, no
 * box in quiet mode.  Returns the exit code, ERROR_INSTALL_LOG_FAILURE. */
int RefuseLogFile(void);

#endif
