#include "uidriver/user_actions.h"

#include <stdio.h>

#include "common/json_line.h"
#include "uidriver/window_report.h"

int ClickButton(HWND window, const char *label)
{
    HWND button = FindButton(window, label);
    if (!button) return 0;
    return PostMessageA(button, BM_CLICK, 0, 0) != 0;
}

int PostCommand(HWND window, long id)
{
    return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0) != 0;
}

int PostSysCommand(HWND window, long command)
{
    return PostMessageA(window, WM_SYSCOMMAND, (WPARAM)command, 0) != 0;
}

int PingWindow(HWND window, long timeoutMs)
{
    BOOL enabled = IsWindowEnabled(window);
    DWORD_PTR result = 0;
    DWORD start = GetTickCount();
    LRESULT answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, (UINT)timeoutMs, &result);
    DWORD took = GetTickCount() - start;
    static JsonLine line;
    JsonBegin(&line);
    JsonString(&line, "event", "ping");
    JsonBool(&line, "answered", answered != 0);
    JsonNumber(&line, "milliseconds", took);
    JsonBool(&line, "enabled", enabled);
    JsonEnd(&line);
    return answered != 0;
}

#define FOCUS_WAIT_MS 3000
#define FOCUS_POLL_MS 20

/* The control of window that has the keyboard focus.  A window that has just
 * appeared may not have it yet (its thread's focus is still elsewhere, or on a
 * window already gone): wait a bounded time for it; window itself after that. */
static HWND FocusedControl(HWND window)
{
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    DWORD start = GetTickCount();
    do {
        GUITHREADINFO info;
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
            (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
            return info.hwndFocus;
        Sleep(FOCUS_POLL_MS);
    } while (GetTickCount() - start < FOCUS_WAIT_MS);
    return window;
}

int PressKey(HWND window, long virtualKey)
{
    HWND target = FocusedControl(window);
    UINT scan = MapVirtualKeyA((UINT)virtualKey, MAPVK_VK_TO_VSC);
    LPARAM down = 1 | ((LPARAM)scan << 16);
    LPARAM up = down | (1L << 30) | (1L << 31);
    if (!PostMessageA(target, WM_KEYDOWN, (WPARAM)virtualKey, down)) {
        fprintf(stderr, "uidriver: key down to %p failed (%lu)\n", (void *)target, GetLastError());
        return 0;
    }
    /* The key down may already have closed the window (Enter on a box): then
     * there is nothing left to take the key up, and the press is done. */
    if (!PostMessageA(target, WM_KEYUP, (WPARAM)virtualKey, up) && IsWindow(target)) {
        fprintf(stderr, "uidriver: key up to %p failed (%lu)\n", (void *)target, GetLastError());
        return 0;
    }
    return 1;
}
