#include "uidriver/window_report.h"

#include <string.h>

#include "common/json_line.h"
#include "common/text.h"
#include "uidriver/icon_kind.h"
#include "uidriver/window_find.h"

#define MAX_CONTROLS 64
#define MESSAGE_TEXT_ID 0xFFFF /* the static that holds a message box's text */

struct ControlList {
    HWND controls[MAX_CONTROLS];
    int count;
};

static BOOL CALLBACK CollectControl(HWND child, LPARAM data)
{
    ControlList *list = (ControlList *)data;
    if (list->count >= MAX_CONTROLS) return FALSE;
    list->controls[list->count++] = child;
    return TRUE;
}

static void ListControls(HWND window, ControlList *list)
{
    list->count = 0;
    EnumChildWindows(window, CollectControl, (LPARAM)list);
}

static int HasClass(HWND window, const char *wanted)
{
    char className[256] = "";
    GetClassNameA(window, className, sizeof className);
    return _stricmp(className, wanted) == 0;
}

static int IsIconStatic(HWND control)
{
    return HasClass(control, "Static") && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

/* Copies text without the '&' that marks a mnemonic ("&&" stays one '&'). */
static void StripMnemonic(const char *text, char *plain, unsigned size)
{
    unsigned used = 0;
    for (const char *p = text; *p && used + 1 < size; ++p) {
        if (*p == '&' && p[1] != '&') continue;
        if (*p == '&') ++p;
        plain[used++] = *p;
    }
    plain[used] = '\0';
}

HWND FindButton(HWND window, const char *label)
{
    static ControlList list;
    ListControls(window, &list);
    for (int i = 0; i < list.count; ++i) {
        char text[256] = "", plain[256];
        if (!HasClass(list.controls[i], "Button") || !IsWindowVisible(list.controls[i])) continue;
        GetWindowTextA(list.controls[i], text, sizeof text);
        StripMnemonic(text, plain, sizeof plain);
        if (strcmp(plain, label) == 0) return list.controls[i];
    }
    return NULL;
}

static void ReportControl(JsonLine *line, HWND control)
{
    char className[256] = "", text[2048] = "";
    GetClassNameA(control, className, sizeof className);
    GetWindowTextA(control, text, sizeof text);
    JsonOpenObject(line, NULL);
    JsonNumber(line, "id", GetDlgCtrlID(control) & 0xFFFF);
    JsonString(line, "class", className);
    JsonString(line, "text", text);
    JsonHex(line, "style", (unsigned long)GetWindowLongA(control, GWL_STYLE));
    JsonBool(line, "visible", IsWindowVisible(control));
    JsonCloseObject(line);
}

/* The controls, then the message-box view of them: text, buttons, icon. */
static void ReportControls(JsonLine *line, HWND window)
{
    static ControlList list;
    ListControls(window, &list);
    HWND iconControl = NULL;
    char message[2048] = "";
    JsonOpenArray(line, "controls");
    for (int i = 0; i < list.count; ++i) {
        ReportControl(line, list.controls[i]);
        if (IsIconStatic(list.controls[i]) && !iconControl) iconControl = list.controls[i];
        if ((GetDlgCtrlID(list.controls[i]) & 0xFFFF) == MESSAGE_TEXT_ID && HasClass(list.controls[i], "Static"))
            GetWindowTextA(list.controls[i], message, sizeof message);
    }
    JsonCloseArray(line);
    JsonOpenArray(line, "buttons");
    for (int i = 0; i < list.count; ++i) {
        char text[256] = "", plain[256];
        if (!HasClass(list.controls[i], "Button") || !IsWindowVisible(list.controls[i])) continue;
        GetWindowTextA(list.controls[i], text, sizeof text);
        StripMnemonic(text, plain, sizeof plain);
        JsonString(line, NULL, plain);
    }
    JsonCloseArray(line);
    JsonString(line, "message", message);
    IconVerdict verdict;
    ClassifyIcon(window, iconControl, &verdict);
    JsonString(line, "icon", verdict.kind);
    JsonNumber(line, "icon_difference", verdict.difference);
    JsonNumber(line, "icon_runner_up", verdict.runnerUp);
}

void ReportWindow(HWND window)
{
    static JsonLine line;
    char exe[MAX_PATH], className[256] = "", caption[1024] = "";
    ReadWindowExe(window, exe, sizeof exe);
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    JsonBegin(&line);
    JsonString(&line, "event", "window");
    JsonHex(&line, "hwnd", (unsigned long long)(ULONG_PTR)window);
    JsonNumber(&line, "pid", processId);
    JsonString(&line, "exe", exe);
    JsonString(&line, "class", className);
    JsonString(&line, "caption", caption);
    JsonHex(&line, "style", (unsigned long)GetWindowLongA(window, GWL_STYLE));
    JsonHex(&line, "exstyle", (unsigned long)exStyle);
    JsonBool(&line, "topmost", (exStyle & WS_EX_TOPMOST) != 0);
    JsonNumber(&line, "x", rect.left);
    JsonNumber(&line, "y", rect.top);
    JsonNumber(&line, "width", rect.right - rect.left);
    JsonNumber(&line, "height", rect.bottom - rect.top);
    JsonHex(&line, "owner", (unsigned long long)(ULONG_PTR)GetWindow(window, GW_OWNER));
    JsonHex(&line, "parent", (unsigned long long)(ULONG_PTR)GetAncestor(window, GA_PARENT));
    JsonBool(&line, "foreground", GetForegroundWindow() == window);
    JsonNumber(&line, "screen_width", GetSystemMetrics(SM_CXSCREEN));
    JsonNumber(&line, "screen_height", GetSystemMetrics(SM_CYSCREEN));
    ReportControls(&line, window);
    JsonEnd(&line);
}
