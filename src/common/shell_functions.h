/* The shell's functions the launcher uses, taken from shlwapi.dll, shell32.dll
 * and ole32.dll in the system folder when first needed: starting the launcher
 * maps none of them, and no copy in the launch folder can stand in. */
#ifndef COMMON_SHELL_FUNCTIONS_H
#define COMMON_SHELL_FUNCTIONS_H

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

/* shlwapi's PathFileExistsA: TRUE for a file or a folder at path.  FALSE
 * when shlwapi cannot be loaded. */
BOOL SystemPathFileExists(const char *path);

/* shlwapi's PathIsUNCA.  FALSE when shlwapi cannot be loaded. */
BOOL SystemPathIsUNC(const char *path);

/* shell32's ShellExecuteExA.  FALSE, with the loader's error code, when
 * shell32 cannot be loaded. */
BOOL SystemShellExecuteEx(SHELLEXECUTEINFOA *info);

/* COM on this thread, apartment-threaded, for the shell's extensions ("COM
 * should be initialized before ShellExecuteEx is called", ShellExecuteExA)
 * and Windows' runtime classes.  StartComApartment returns 1 when
 * StopComApartment must follow. */
int StartComApartment(void);
void StopComApartment(void);

#endif
