#include "uidriver/system_menu.h"

#include <stdio.h>
#include <string.h>

#include "common/bounded.h"
#include "hook/system_menu_hook.h"

static char g_reply[16384];
static int g_replied;

static LRESULT CALLBACK ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT *data = (const COPYDATASTRUCT *)lParam;
        if (data->dwData == E2E_SYSTEM_MENU_REPLY && data->cbData > 0 && data->cbData <= sizeof g_reply) {
            memcpy(g_reply, data->lpData, data->cbData);
            g_reply[data->cbData - 1] = '\0';
            g_replied = 1;
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/* A hidden top-level window that receives the hook's WM_COPYDATA (hidden, so
 * no window filter of the driver ever matches it). */
static HWND CreateReplyWindow(void)
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = ReplyWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "E2eSystemMenuReply";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                           windowClass.hInstance, NULL);
}

/* The hook DLL beside this executable. */
static HMODULE LoadHookDll(void)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path) return NULL;
    char *slash = strrchr(path, '\\');
    if (!slash) return NULL;
    slash[1] = '\0';
    if (!AppendBounded(path, sizeof path, E2E_HOOK_DLL)) return NULL;
    return LoadLibraryA(path);
}

/* Dispatches this thread's messages until the reply came or timeoutMs passed. */
static int WaitForReply(long timeoutMs)
{
    DWORD start = GetTickCount();
    while (!g_replied) {
        long left = timeoutMs - (long)(GetTickCount() - start);
        if (left <= 0) return 0;
        MsgWaitForMultipleObjects(0, NULL, FALSE, (DWORD)left, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return 1;
}

static void PrintProblem(const char *problem)
{
    printf("{\"event\":\"system_menu_failed\",\"problem\":\"%s\",\"error\":%lu}\n", problem, GetLastError());
    fflush(stdout);
}

int PrintSystemMenu(HWND window, long iconId, long timeoutMs)
{
    HMODULE hookDll = LoadHookDll();
    if (!hookDll) return PrintProblem("cannot load " E2E_HOOK_DLL), 0;
    HOOKPROC hookProc = (HOOKPROC)(void *)GetProcAddress(hookDll, E2E_HOOK_PROC);
    HWND replyWindow = CreateReplyWindow();
    if (!hookProc || !replyWindow) return PrintProblem("no hook procedure or reply window"), 0;
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, hookProc, hookDll, thread);
    if (!hook) return PrintProblem("SetWindowsHookExA failed"), 0;
    g_replied = 0;
    PostMessageA(window, RegisterWindowMessageA(E2E_SYSTEM_MENU_QUERY), (WPARAM)replyWindow, (LPARAM)iconId);
    int replied = WaitForReply(timeoutMs);
    UnhookWindowsHookEx(hook);
    DestroyWindow(replyWindow);
    if (!replied) return PrintProblem("no reply from the hook"), 0;
    puts(g_reply);
    fflush(stdout);
    return 1;
}
