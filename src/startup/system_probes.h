/* What the system is: version query, WOW64 probe, file-system redirection guard. */
#ifndef STARTUP_SYSTEM_PROBES_H
#define STARTUP_SYSTEM_PROBES_H

#include <windows.h>

/* Fills version (zeroed first) with the extended record, or the basic one when
 * the system refuses the extended size.  Returns 1 on success, 0 when both fail. */
int QueryVersion(OSVERSIONINFOEXA *version);

/* Returns 1 only for a 32-bit process on 64-bit Windows. */
int IsWow64(void);

/* Turn file-system redirection off and back on; nothing happens where the
 * system lacks the functions.  Callers use them only when IsWow64() says so. */
void DisableRedirection(void);
void RevertRedirection(void);

#endif
