/* Installing the message box spy (see hook/message_box_spy.h) in a window's
 * process. */
#ifndef E2E_UIDRIVER_BOX_SPY_H
#define E2E_UIDRIVER_BOX_SPY_H

#include <windows.h>

/* Prints the spy's {"event":"box_spy","patched":N} line once it is installed
 * in window's process.  The spy DLL must be of that process's bitness, as must
 * this driver.  Returns 0 (after printing why) when the hook cannot be
 * installed, no reply comes within timeoutMs, or no import was redirected. */
int InstallBoxSpy(HWND window, long timeoutMs);

#endif
