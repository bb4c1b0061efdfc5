/* Only one copy of the launcher runs at a time: a named mutex guards it. */
#ifndef STARTUP_INSTANCE_GUARD_H
#define STARTUP_INSTANCE_GUARD_H

#include <windows.h>

#include "brand.h"

#define MUTEX_NAME_LOCAL BRAND_MUTEX
#define MUTEX_NAME_GLOBAL "Global\\" BRAND_MUTEX

/* The global name on NT systems whose sessions need it, else the local one. */
const char *ChooseMutexName(const OSVERSIONINFOEXA *version);

/* Takes the guard.  Returns the mutex handle, or NULL when the launch must end:
 * the mutex could not be created (silently), or another copy holds it or
 * made it with an access this account lacks (the already-started message has
 * been shown and any handle closed). */
HANDLE TakeInstanceGuard(const char *name);

/* Releases and closes the guard. */
void DropInstanceGuard(HANDLE guard);

#endif
