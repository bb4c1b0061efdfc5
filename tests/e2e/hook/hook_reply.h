/* The answer of a test hook DLL to the UI driver that asked it. */
#ifndef E2E_HOOK_HOOK_REPLY_H
#define E2E_HOOK_HOOK_REPLY_H

#include <windows.h>

/* Sends text (with its terminator) to the driver's reply window as WM_COPYDATA
 * tagged tag, from window; gives up after 5 s if the driver hangs. */
void SendHookReply(HWND replyTo, HWND window, ULONG_PTR tag, const char *text);

#endif
