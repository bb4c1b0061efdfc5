/* The package check (/check): no window, no guard, no installation. */
#ifndef STARTUP_CHECK_MODE_H
#define STARTUP_CHECK_MODE_H

/* Checks the package in the current folder (or beside the executable, when
 * the current one has no setup file and that one has), reporting to the
 * console and the log, and ends the launch.  Returns the exit code: 0 without errors,
 * 1620 with. */
int RunCheckMode(void);

#endif
