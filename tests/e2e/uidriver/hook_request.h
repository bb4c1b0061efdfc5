/* Asking one of the test hook DLLs (tests/e2e/hook/) a question from inside
 * another process: the DLL is loaded there through a WH_GETMESSAGE hook on the
 * window's thread and answers by WM_COPYDATA. */
#ifndef E2E_UIDRIVER_HOOK_REQUEST_H
#define E2E_UIDRIVER_HOOK_REQUEST_H

#include <stddef.h>
#include <windows.h>

struct HookRequest {
    const char *dll;          /* file name of the DLL beside this driver */
    const char *hookProc;     /* its exported WH_GETMESSAGE procedure */
    const char *message;      /* registered message that carries the request */
    ULONG_PTR replyTag;       /* dwData of the WM_COPYDATA that answers it */
    const char *failedEvent;  /* event name of the line printed on failure */
};

/* Posts the request to window (wParam: our reply window, lParam: argument) and
 * waits up to timeoutMs for the answer.  Returns 1 with the answer's text in
 * reply, 0 after printing a {"event":failedEvent, ...} line that says why.
 * The DLL must be of the window's process's bitness, as must this driver. */
int RequestFromHook(HWND window, const HookRequest *request, LPARAM argument, long timeoutMs, char *reply,
                    size_t replySize);

#endif
