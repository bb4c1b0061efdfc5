/* The test-only hook DLL (e2e_hook.dll) that reads a window's system menu from
 * inside the process that owns it: Wine cannot hand one process the system
 * menu of another's window.  Nothing of it is in the launcher.
 *
 * The UI driver installs E2eGetMessageHook with SetWindowsHookExA(WH_GETMESSAGE)
 * on the window's thread, then posts the registered message
 * E2E_SYSTEM_MENU_QUERY to the window with wParam = a window of its own and
 * lParam = an icon resource id of the executable (or 0).  When
 * the window's thread takes that message from its queue (in whatever message
 * loop it runs, a modal one included), the hook reads GetSystemMenu(window,
 * FALSE) there and sends the driver's window one WM_COPYDATA whose data is a
 * JSON object: {"event":"system_menu","wow64":..,"pointer_bits":..,
 * "platform":..,"major":..,"minor":.. (GetVersionExA as the process sees it),
 * "class_icon_is_resource":.. (the window's class icon is that icon), "items":[..]}. */
#ifndef E2E_HOOK_SYSTEM_MENU_HOOK_H
#define E2E_HOOK_SYSTEM_MENU_HOOK_H

#define E2E_HOOK_DLL "e2e_hook.dll"
#define E2E_HOOK_PROC "E2eGetMessageHook" /* exported undecorated (--kill-at) */
#define E2E_SYSTEM_MENU_QUERY "E2E_SYSTEM_MENU_QUERY"
#define E2E_SYSTEM_MENU_REPLY 0xE2E5 /* dwData of the reply's WM_COPYDATA */

#endif
