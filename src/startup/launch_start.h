/* The checks every launch that installs or removes makes first, in their
 * fixed order: the launch folder, the Windows version, the instance guard,
 * the setup file. */
#ifndef STARTUP_LAUNCH_START_H
#define STARTUP_LAUNCH_START_H

#include <windows.h>

/* Captures the launch folder (with besideProgram, the executable's own
 * folder when the current one has no setup file and it has), refusing one
 * over 100 bytes in a warning box without owner, then reads the Windows
 * version into version, ending without a message where it cannot be read or
 * the platform is Win32s.  Returns 1 when the launch goes on. */
int PassStartChecks(OSVERSIONINFOEXA *version, int besideProgram);

/* Takes the instance guard under the name version calls for, then checks the
 * setup file.  Returns the guard, or NULL when the launch must end, its
 * message shown; after a failed setup-file check the guard stays held until
 * the process ends. */
HANDLE GuardAndCheckSetupFile(const OSVERSIONINFOEXA *version);

#endif
