/* The package check (/check): no window, no guard, no installation. */
#ifndef STARTUP_CHECK_MODE_H
#define STARTUP_CHECK_MODE_H

/* Checks the package in the current folder, reporting to the console and
 * the log; the outcome is 0 without errors, 1620 with. */
void RunCheckMode(void);

#endif
