/* Host stand-in for <shlwapi.h>: the path helpers the launcher uses. */
#ifndef STANDIN_SHLWAPI_H
#define STANDIN_SHLWAPI_H

#include <stdarg.h>
#include <windows.h>

BOOL WINAPI PathFileExistsA(LPCSTR path);
BOOL WINAPI PathIsUNCA(LPCSTR path);

#endif
