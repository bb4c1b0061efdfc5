/* Loading the system's own DLLs without a search through the launch folder. */
#ifndef COMMON_SYSTEM_LIBRARY_H
#define COMMON_SYSTEM_LIBRARY_H

#include <windows.h>

/* Loads a system DLL by its full path in the system folder (never by bare name, so no
 * copy in the launch folder can be picked up).  Returns NULL when it cannot be loaded. */
HMODULE LoadSystemLibrary(const char *fileName);

#endif
