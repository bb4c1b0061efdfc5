/* What the system is: the version query, the WOW64 probe, the window station. */
#ifndef COMMON_SYSTEM_PROBES_H
#define COMMON_SYSTEM_PROBES_H

#include <windows.h>

/* Fills version (zeroed first) with the extended record, or the basic one when
 * the system refuses the extended size.  Returns 1 on success, 0 when both fail. */
int QueryVersion(OSVERSIONINFOEXA *version);

/* The version Windows really is, whatever the executable's manifest lets the
 * version query say.  Returns 1 with it, 0 where it cannot be had. */
int QueryRealVersion(DWORD *major, DWORD *minor, DWORD *build);

/* Returns 1 only for a 32-bit process on 64-bit Windows (x64 or ARM64). */
int IsWow64(void);

/* The PC's own processor, whatever the launcher's: IMAGE_FILE_MACHINE_AMD64,
 * IMAGE_FILE_MACHINE_ARM64 or IMAGE_FILE_MACHINE_I386. */
USHORT NativeMachine(void);

/* Whether anybody can see and answer a window of this process. */
enum ScreenSight {
    SCREEN_SEEN,               /* a visible window station in a user's session */
    SCREEN_STATION_INVISIBLE,  /* the window station has no visible display surfaces: a service's */
    SCREEN_SESSION_ZERO        /* session 0 of Windows Vista and later, where no user logs on */
};

/* Looks at the window station, then at the session.  What cannot be told
 * counts as seen. */
ScreenSight LookAtScreen(void);

#endif
