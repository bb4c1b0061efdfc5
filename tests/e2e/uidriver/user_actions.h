/* What the driver does as the user: press a button, send a command, press a key.
 * Everything is posted, never sent, so a button that opens a modal box cannot
 * block the driver. */
#ifndef E2E_UIDRIVER_USER_ACTIONS_H
#define E2E_UIDRIVER_USER_ACTIONS_H

#include <windows.h>

/* Posts BM_CLICK to the button labelled label.  Returns 0 when there is none. */
int ClickButton(HWND window, const char *label);

/* Posts WM_COMMAND with id (and no control) to window. */
int PostCommand(HWND window, long id);

/* Posts WM_SYSCOMMAND with command (SC_CLOSE: the close box) to window. */
int PostSysCommand(HWND window, long command);

/* Sends WM_NULL to window as a program checking for a hung window does
 * (SendMessageTimeout, SMTO_ABORTIFHUNG, timeoutMs) and prints one JSON line:
 * {"event": "ping", "answered", "milliseconds", "enabled"} (enabled: whether
 * window took input just before).  Returns 1 when it was answered. */
int PingWindow(HWND window, long timeoutMs);

/* Posts key down and up of virtualKey to the control that has the focus in
 * window's thread (or window itself when none is known). */
int PressKey(HWND window, long virtualKey);

#endif
