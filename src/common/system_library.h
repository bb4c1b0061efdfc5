/* The system's own DLLs and their functions, never searched for in the launch folder. */
#ifndef COMMON_SYSTEM_LIBRARY_H
#define COMMON_SYSTEM_LIBRARY_H

#include <windows.h>

/* Any function of a system DLL, to be cast to its real type. */
typedef void (*SystemFunction)(void);

/* Loads a system DLL by its full path in the system folder (never by bare name, so no
 * copy in the launch folder can be picked up).  Returns NULL when it cannot be loaded. */
HMODULE LoadSystemLibrary(const char *fileName);

/* Writes the Windows folder, then folder (such as "\\INF\\"), then name.
 * Returns 0 when the Windows folder cannot be read or the whole does not fit. */
int BuildWindowsPath(char (&path)[MAX_PATH], const char *folder, const char *name);

/* The function name (or an ordinal made with MAKEINTRESOURCEA) of the system
 * DLL library: taken from the copy the process has mapped already (kernel32
 * and ntdll always are), else from the system folder's, which stays loaded.
 * NULL where the system lacks the library or the function. */
SystemFunction FindSystemFunction(const char *library, const char *name);

#endif
