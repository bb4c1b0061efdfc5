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

static int IsDialogClass(HWND window)
{
    return HasClass(window, "#32770");
}

/* A button's check state: 0 unchecked, 1 checked, 2 indeterminate; -1 for other controls. */
static long ReadCheckState(HWND control)
{
    if (!HasClass(control, "Button")) return -1;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) return -1;
    return (long)state;
}

static void ReportRect(JsonLine *line, HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    JsonNumber(line, "x", rect.left);
    JsonNumber(line, "y", rect.top);
    JsonNumber(line, "width", rect.right - rect.left);
    JsonNumber(line, "height", rect.bottom - rect.top);
}

/* One control: what it is, where, its parent (the page for the page's
 * controls), its check state, whether it has the focus and, on a dialog, the
 * kind of a standard icon it shows. */
static void ReportControl(JsonLine *line, HWND window, HWND control, HWND focus, IconVerdict *verdict)
{
    char className[256] = "", text[2048] = "";
    GetClassNameA(control, className, sizeof className);
    GetWindowTextA(control, text, sizeof text);
    JsonOpenObject(line, NULL);
    JsonHex(line, "hwnd", (unsigned long long)(ULONG_PTR)control);
    JsonNumber(line, "id", GetDlgCtrlID(control) & 0xFFFF);
    JsonString(line, "class", className);
    JsonString(line, "text", text);
    JsonHex(line, "style", (unsigned long)GetWindowLongA(control, GWL_STYLE));
    JsonHex(line, "exstyle", (unsigned long)GetWindowLongA(control, GWL_EXSTYLE));
    JsonHex(line, "parent", (unsigned long long)(ULONG_PTR)GetParent(control));
    JsonBool(line, "visible", IsWindowVisible(control));
    JsonBool(line, "enabled", IsWindowEnabled(control));
    JsonBool(line, "focused", control == focus);
    JsonNumber(line, "checked", ReadCheckState(control));
    ReportRect(line, control);
    if (IsIconStatic(control) && IsDialogClass(window)) {
        ClassifyIcon(window, control, verdict);
        JsonString(line, "icon", verdict->kind);
    }
    JsonCloseObject(line);
}

/* The window of window's thread that has the keyboard focus, or NULL. */
static HWND ThreadFocus(HWND window)
{
    GUITHREADINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info)) return NULL;
    return info.hwndFocus;
}

/* The controls, then the message-box view of them: text, buttons, icon. */
static void ReportControls(JsonLine *line, HWND window)
{
    static ControlList list;
    ListControls(window, &list);
    HWND focus = ThreadFocus(window);
    /* Standard icons are looked for on dialogs (message boxes) only: on other
     * windows every comparison would fail and retry. */
    IconVerdict first = {"none", -1, -1};
    int iconSeen = 0;
    char message[2048] = "";
    JsonHex(line, "focus", (unsigned long long)(ULONG_PTR)focus);
    JsonOpenArray(line, "controls");
    for (int i = 0; i < list.count; ++i) {
        IconVerdict verdict = {"none", -1, -1};
        ReportControl(line, window, list.controls[i], focus, &verdict);
        if (IsIconStatic(list.controls[i]) && !iconSeen) {
            first = verdict;
            iconSeen = 1;
        }
        if ((GetDlgCtrlID(list.controls[i]) & 0xFFFF) == MESSAGE_TEXT_ID && HasClass(list.controls[i], "Static"))
            GetWindowTextA(list.controls[i], message, sizeof message);
    }
    JsonCloseArray(line);
    JsonOpenArray(line, "buttons");
    for (int i = 0; i < list.count; ++i) {
        char text[256] = "", plain[256];
        if (!HasClass(list.controls[i], "Button") || !IsWindowVisible(list.controls[i])) continue;
        if ((GetWindowLongA(list.controls[i], GWL_STYLE) & BS_TYPEMASK) > BS_DEFPUSHBUTTON) continue;
        GetWindowTextA(list.controls[i], text, sizeof text);
        StripMnemonic(text, plain, sizeof plain);
        JsonString(line, NULL, plain);
    }
    JsonCloseArray(line);
    JsonString(line, "message", message);
    JsonString(line, "icon", first.kind);
    JsonNumber(line, "icon_difference", first.difference);
    JsonNumber(line, "icon_runner_up", first.runnerUp);
}

void ReportWindow(HWND window)
{
    static JsonLine line;
    char exe[MAX_PATH], className[256] = "", caption[1024] = "";
    ReadWindowExe(window, exe);
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
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
    ReportRect(&line, window);
    JsonNumber(&line, "client_width", client.right);
    JsonNumber(&line, "client_height", client.bottom);
    JsonHex(&line, "owner", (unsigned long long)(ULONG_PTR)GetWindow(window, GW_OWNER));
    JsonHex(&line, "parent", (unsigned long long)(ULONG_PTR)GetAncestor(window, GA_PARENT));
    JsonBool(&line, "foreground", GetForegroundWindow() == window);
    JsonNumber(&line, "screen_width", GetSystemMetrics(SM_CXSCREEN));
    JsonNumber(&line, "screen_height", GetSystemMetrics(SM_CYSCREEN));
    JsonNumber(&line, "caption_height", GetSystemMetrics(SM_CYCAPTION));
    JsonBool(&line, "enabled", IsWindowEnabled(window));
    ReportControls(&line, window);
    JsonEnd(&line);
}
