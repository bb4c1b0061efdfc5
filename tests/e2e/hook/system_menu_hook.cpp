#include "hook/system_menu_hook.h"

#include <string.h>
#include <windows.h>

#include "common/json_line.h"
#include "hook/hook_reply.h"

typedef BOOL(WINAPI *IsWow64ProcessFunction)(HANDLE, PBOOL);

/* True when this process is a 32-bit process on 64-bit Windows. */
static int RunsUnderWow64(void)
{
    IsWow64ProcessFunction isWow64 =
        (IsWow64ProcessFunction)(void *)GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process");
    BOOL answer = FALSE;
    if (isWow64) isWow64(GetCurrentProcess(), &answer);
    return answer != FALSE;
}

/* One entry of the menu: command id, text and state flags. */
static void ReportItem(JsonLine *line, HMENU menu, int position)
{
    char text[256] = "";
    GetMenuStringA(menu, (UINT)position, text, sizeof text, MF_BYPOSITION);
    JsonOpenObject(line, NULL);
    JsonHex(line, "id", GetMenuItemID(menu, position));
    JsonString(line, "text", text);
    JsonHex(line, "state", GetMenuState(menu, (UINT)position, MF_BYPOSITION));
    JsonCloseObject(line);
}

/* True when window's class icon is icon resource iconId of the process's executable. */
static int ClassIconIsResource(HWND window, LPARAM iconId)
{
    HICON classIcon = (HICON)GetClassLongPtrA(window, GCLP_HICON);
    HICON resourceIcon = iconId ? LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(iconId)) : NULL;
    return classIcon != NULL && classIcon == resourceIcon;
}

/* The Windows version as this process is told it (its manifest shapes the answer). */
static void ReportVersion(JsonLine *line)
{
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return;
    JsonNumber(line, "platform", version.dwPlatformId);
    JsonNumber(line, "major", version.dwMajorVersion);
    JsonNumber(line, "minor", version.dwMinorVersion);
}

static void ReportSystemMenu(HWND window, HWND replyTo, LPARAM iconId)
{
    static JsonLine line;
    HMENU menu = GetSystemMenu(window, FALSE);
    JsonBegin(&line);
    JsonString(&line, "event", "system_menu");
    JsonHex(&line, "hwnd", (unsigned long long)(ULONG_PTR)window);
    JsonBool(&line, "wow64", RunsUnderWow64());
    JsonNumber(&line, "pointer_bits", (long long)sizeof(void *) * 8);
    ReportVersion(&line);
    JsonBool(&line, "has_menu", menu != NULL);
    JsonNumber(&line, "icon_resource", (long long)iconId);
    JsonBool(&line, "class_icon_is_resource", ClassIconIsResource(window, iconId));
    JsonOpenArray(&line, "items");
    int count = menu ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) ReportItem(&line, menu, position);
    JsonCloseArray(&line);
    JsonFinish(&line);
    SendHookReply(replyTo, window, E2E_SYSTEM_MENU_REPLY, line.text);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK E2eGetMessageHook(int code, WPARAM removal, LPARAM data)
{
    MSG *message = (MSG *)data;
    static UINT query = RegisterWindowMessageA(E2E_SYSTEM_MENU_QUERY);
    if (code == HC_ACTION && removal == PM_REMOVE && message->message == query) {
        ReportSystemMenu(message->hwnd, (HWND)message->wParam, message->lParam);
        message->message = WM_NULL; /* the window itself never sees the query */
    }
    return CallNextHookEx(NULL, code, removal, data);
}
