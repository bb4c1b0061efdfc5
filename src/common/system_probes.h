/* What the system is: the version query and the WOW64 probe. */
#ifndef COMMON_SYSTEM_PROBES_H
#define COMMON_SYSTEM_PROBES_H

#include <windows.h>

/* Fills version (zeroed first) with the extended record, or the basic one when
 * the system refuses the extended size.  Returns 1 on success, 0 when both fail. */
int QueryVersion(OSVERSIONINFOEXA *version);

/* Returns 1 only for a 32-bit process on 64-bit Windows (x64 or ARM64). */
int IsWow64(void);

#endif
