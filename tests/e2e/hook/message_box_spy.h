/* The test-only spy DLL (e2e_box_spy.dll) that records, inside the launcher's
 * process, the owner window each of the launcher's own MessageBoxA calls is
 * given: from outside, Wine (like Windows) shows only the top-level window of
 * that owner.  Nothing of it is in the launcher.
 *
 * The UI driver installs E2eBoxSpyHook with SetWindowsHookExA(WH_GETMESSAGE)
 * on the window's thread and posts E2E_BOX_SPY_INSTALL to the window with
 * wParam = a window of its own.  The hook, in the launcher's process, points
 * the executable's import of user32!MessageBoxA at a spy that appends
 * {"owner":..,"type":..,"text":..} to the file named by E2E_BOX_SPY_LOG in the
 * launcher's environment and then calls the real MessageBoxA; it keeps itself
 * loaded and answers the driver's window with one WM_COPYDATA holding
 * {"event":"box_spy","patched":N} (N import entries redirected). */
#ifndef E2E_HOOK_MESSAGE_BOX_SPY_H
#define E2E_HOOK_MESSAGE_BOX_SPY_H

#define E2E_BOX_SPY_DLL "e2e_box_spy.dll"
#define E2E_BOX_SPY_PROC "E2eBoxSpyHook" /* exported undecorated (--kill-at) */
#define E2E_BOX_SPY_INSTALL "E2E_BOX_SPY_INSTALL"
#define E2E_BOX_SPY_REPLY 0xE2E6 /* dwData of the reply's WM_COPYDATA */

#endif
