#include "uidriver/user_actions.h"

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

/* The focused control of window's GUI thread, or window. */
static HWND FocusedControl(HWND window)
{
    GUITHREADINFO info;
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) return info.hwndFocus;
    return window;
}

int PressKey(HWND window, long virtualKey)
{
    HWND target = FocusedControl(window);
    UINT scan = MapVirtualKeyA((UINT)virtualKey, MAPVK_VK_TO_VSC);
    LPARAM down = 1 | ((LPARAM)scan << 16);
    LPARAM up = down | (1L << 30) | (1L << 31);
    return PostMessageA(target, WM_KEYDOWN, (WPARAM)virtualKey, down) &&
           PostMessageA(target, WM_KEYUP, (WPARAM)virtualKey, up);
}
