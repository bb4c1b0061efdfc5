#include "uidriver/hook_request.h"

#include <stdio.h>
#include <string.h>

#include "common/bounded.h"

#define REPLY_WINDOW_CLASS "E2eHookReply"

static ULONG_PTR g_replyTag;
static char *g_reply;
static size_t g_replySize;
static int g_replied;

static LRESULT CALLBACK ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT *data = (const COPYDATASTRUCT *)lParam;
        if (data->dwData == g_replyTag && data->cbData > 0 && data->cbData <= g_replySize) {
            memcpy(g_reply, data->lpData, data->cbData);
            g_reply[data->cbData - 1] = '\0';
            g_replied = 1;
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/* A hidden top-level window for the answer (hidden, so no window filter of the
 * driver ever matches it). */
static HWND CreateReplyWindow(void)
{
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = ReplyWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = REPLY_WINDOW_CLASS;
    RegisterClassA(&windowClass); /* fails harmlessly once registered */
    return CreateWindowExA(0, REPLY_WINDOW_CLASS, "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, windowClass.hInstance,
                           NULL);
}

/* The named DLL beside this executable. */
static HMODULE LoadDllBesideDriver(const char *dll)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path) return NULL;
    char *slash = strrchr(path, '\\');
    if (!slash) return NULL;
    slash[1] = '\0';
    if (!append_bounded(path, dll)) return NULL;
    return LoadLibraryA(path);
}

/* Dispatches this thread's messages until the answer came or timeoutMs passed. */
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

static int Problem(const HookRequest *request, const char *problem)
{
    printf("{\"event\":\"%s\",\"problem\":\"%s\",\"dll\":\"%s\",\"error\":%lu}\n", request->failedEvent, problem,
           request->dll, GetLastError());
    fflush(stdout);
    return 0;
}

int RequestFromHook(HWND window, const HookRequest *request, LPARAM argument, long timeoutMs, char *reply,
                    size_t replySize)
{
    HMODULE dll = LoadDllBesideDriver(request->dll);
    if (!dll) return Problem(request, "cannot load the hook DLL");
    HOOKPROC hookProc = (HOOKPROC)(void *)GetProcAddress(dll, request->hookProc);
    HWND replyWindow = CreateReplyWindow();
    if (!hookProc || !replyWindow) return Problem(request, "no hook procedure or reply window");
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, hookProc, dll, GetWindowThreadProcessId(window, NULL));
    if (!hook) return Problem(request, "SetWindowsHookExA failed");
    g_replyTag = request->replyTag;
    g_reply = reply;
    g_replySize = replySize;
    g_replied = 0;
    PostMessageA(window, RegisterWindowMessageA(request->message), (WPARAM)replyWindow, argument);
    int replied = WaitForReply(timeoutMs);
    UnhookWindowsHookEx(hook);
    DestroyWindow(replyWindow);
    return replied ? 1 : Problem(request, "no reply from the hook");
}
