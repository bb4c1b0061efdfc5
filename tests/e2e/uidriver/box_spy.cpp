#include "uidriver/box_spy.h"

#include <stdio.h>
#include <string.h>

#include "common/bounded.h"
#include "hook/message_box_spy.h"

static char g_reply[1024];
static int g_replied;

static LRESULT CALLBACK ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT *data = (const COPYDATASTRUCT *)lParam;
        if (data->dwData == E2E_BOX_SPY_REPLY && data->cbData > 0 && data->cbData <= sizeof g_reply) {
            memcpy(g_reply, data->lpData, data->cbData);
            g_reply[data->cbData - 1] = '\0';
            g_replied = 1;
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/* A hidden window for the spy's WM_COPYDATA (no driver filter matches it). */
static HWND CreateReplyWindow(void)
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = ReplyWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "E2eBoxSpyReply";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                           windowClass.hInstance, NULL);
}

/* The spy DLL beside this executable. */
static HMODULE LoadSpyDll(void)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path) return NULL;
    char *slash = strrchr(path, '\\');
    if (!slash) return NULL;
    slash[1] = '\0';
    if (!AppendBounded(path, sizeof path, E2E_BOX_SPY_DLL)) return NULL;
    return LoadLibraryA(path);
}

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

static int Problem(const char *problem)
{
    printf("{\"event\":\"box_spy_failed\",\"problem\":\"%s\",\"error\":%lu}\n", problem, GetLastError());
    fflush(stdout);
    return 0;
}

int InstallBoxSpy(HWND window, long timeoutMs)
{
    HMODULE spyDll = LoadSpyDll();
    if (!spyDll) return Problem("cannot load " E2E_BOX_SPY_DLL);
    HOOKPROC hookProc = (HOOKPROC)(void *)GetProcAddress(spyDll, E2E_BOX_SPY_PROC);
    HWND replyWindow = CreateReplyWindow();
    if (!hookProc || !replyWindow) return Problem("no hook procedure or reply window");
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, hookProc, spyDll, GetWindowThreadProcessId(window, NULL));
    if (!hook) return Problem("SetWindowsHookExA failed");
    g_replied = 0;
    PostMessageA(window, RegisterWindowMessageA(E2E_BOX_SPY_INSTALL), (WPARAM)replyWindow, 0);
    int replied = WaitForReply(timeoutMs);
    UnhookWindowsHookEx(hook);
    DestroyWindow(replyWindow);
    if (!replied) return Problem("no reply from the spy");
    puts(g_reply);
    fflush(stdout);
    return strstr(g_reply, "\"patched\":0") == NULL ? 1 : Problem("no MessageBoxA import redirected");
}
