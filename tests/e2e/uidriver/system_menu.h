/* Reading a window's system menu through the test hook DLL (see
 * hook/system_menu_hook.h): the hook runs inside the window's process. */
#ifndef E2E_UIDRIVER_SYSTEM_MENU_H
#define E2E_UIDRIVER_SYSTEM_MENU_H

#include <windows.h>

/* Prints the hook's {"event":"system_menu", ...} line for window, telling also
 * whether the window's class icon is icon resource iconId of its executable.  The hook DLL
 * must be of the window's process's bitness, as must this driver.  Returns 0
 * (after printing why) when the hook cannot be installed or no reply comes
 * within timeoutMs. */
int PrintSystemMenu(HWND window, long iconId, long timeoutMs);

#endif
