/* user32 window model: windows with procedures, dialogs from scripted templates,
 * dialog controls, focus, timers, system menus and metrics.  It records what
 * the code asks and calls the procedures where Windows would; it lays nothing
 * out and sends no messages a window manager would send on its own (focus,
 * activation, painting). */
#include <standin.h>

#include <stdlib.h>
#include <string.h>
#include <strings.h>

using standin::Log;
using standin::state;
using standin::Window;

#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CONTROL_ID_NOT_FOUND 1421L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

static const char kDialogClass[] = "#32770";
static const char kControlClass[] = "control";

/* Window handles are tokens: index + 1, shifted clear of small integers. */
static HWND HandleOf(size_t index) { return (HWND)(ULONG_PTR)((index + 1) << 4); }

namespace standin {

Window *WindowOf(HWND window)
{
    ULONG_PTR token = (ULONG_PTR)window;
    if (token == 0 || (token & 0xF) != 0) return NULL;
    size_t index = (token >> 4) - 1;
    if (index >= state().windows.size()) return NULL;
    return &state().windows[index];
}

HWND FindWindowOfClass(const std::string &className)
{
    for (size_t i = 0; i < state().windows.size(); i++)
        if (state().windows[i].className == className) return HandleOf(i);
    return NULL;
}

HWND FindDialog(int templateId)
{
    for (size_t i = 0; i < state().windows.size(); i++)
        if (state().windows[i].className == kDialogClass && state().windows[i].templateId == templateId)
            return HandleOf(i);
    return NULL;
}

}  // namespace standin

/* A live window, or NULL with the error Windows sets for a bad handle. */
static Window *LiveWindow(HWND window)
{
    Window *record = standin::WindowOf(window);
    if (!record || record->destroyed) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return NULL;
    }
    return record;
}

static HWND AddWindow(const Window &window)
{
    state().windows.push_back(window);
    return HandleOf(state().windows.size() - 1);
}

static const WNDCLASSEXA *FindClass(LPCSTR className)
{
    for (const WNDCLASSEXA &c : state().registeredClasses)
        if (className && strcasecmp(c.lpszClassName, className) == 0) return &c;
    return NULL;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    Log(std::string("CreateWindowExA(") + (className ? className : "") + ")");
    const WNDCLASSEXA *windowClass = FindClass(className);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return NULL;
    }
    if (state().windowCreationFails) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    Window record;
    record.className = windowClass->lpszClassName;
    record.text = windowName ? windowName : "";
    record.windowProc = windowClass->lpfnWndProc;
    record.parent = parent;
    record.instance = instance;
    record.style = style;
    record.x = x, record.y = y, record.width = width, record.height = height;
    record.visible = (style & WS_VISIBLE) != 0;
    record.systemMenu = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};
    HWND window = AddWindow(record);
    CREATESTRUCTA create = {param, instance, menu, parent, height, width, y, x, (LONG)style, windowName,
                            className, exStyle};
    if (record.windowProc(window, WM_CREATE, 0, (LPARAM)&create) == -1) {
        DestroyWindow(window);
        return NULL;
    }
    return window;
}

/* Destroys window and the windows it parents or owns, children after it. */
BOOL WINAPI DestroyWindow(HWND window)
{
    Window *record = LiveWindow(window);
    if (!record) return FALSE;
    Log("DestroyWindow");
    if (record->windowProc) record->windowProc(window, WM_DESTROY, 0, 0);
    if (record->dialogProc) record->dialogProc(window, WM_DESTROY, 0, 0);
    standin::WindowOf(window)->destroyed = true;
    for (size_t i = 0; i < state().windows.size(); i++) {
        Window &other = state().windows[i];
        if (!other.destroyed && (other.parent == window || other.owner == window)) DestroyWindow(HandleOf(i));
    }
    if (state().focus == window) state().focus = NULL;
    return TRUE;
}

/* What a dialog control does with a message (controls have no procedure here). */
static LRESULT ControlMessage(Window *control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case BM_GETCHECK:
        return control->check;
    case BM_SETCHECK:
        control->check = (UINT)wParam;
        return 0;
    case STM_SETICON: {
        HICON previous = control->icon;
        control->icon = (HICON)wParam;
        return (LRESULT)previous;
    }
    case WM_SETTEXT:
        control->text = lParam ? (const char *)lParam : "";
        return TRUE;
    case CB_GETCURSEL:
        return control->selection;
    case CB_SETCURSEL:
        /* -1 clears the selection; another index outside the list reports CB_ERR
         * and leaves the selection as it was (as Wine does). */
        if ((int)wParam == CB_ERR) {
            control->selection = CB_ERR;
            return CB_ERR;
        }
        if ((int)wParam < 0 || (int)wParam >= control->itemCount) return CB_ERR;
        control->selection = (int)wParam;
        return control->selection;
    default:
        return 0;
    }
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window *record = LiveWindow(window);
    Log("SendMessageA(" + std::to_string(message) + ")");
    if (!record) return 0;
    if (record->windowProc) return record->windowProc(window, message, wParam, lParam);
    if (record->dialogProc) {
        /* A dialog's own answer reaches the sender only for its creation message. */
        INT_PTR handled = record->dialogProc(window, message, wParam, lParam);
        return message == WM_INITDIALOG ? handled : 0;
    }
    return ControlMessage(record, message, wParam, lParam);
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    /* A missing control: the send fails with ERROR_INVALID_WINDOW_HANDLE and gives 0. */
    return SendMessageA(GetDlgItem(dialog, id), message, wParam, lParam);
}

BOOL WINAPI ShowWindow(HWND window, int command)
{
    Log("ShowWindow(" + std::to_string(command) + ")");
    Window *record = LiveWindow(window);
    if (!record) return FALSE;
    BOOL wasVisible = record->visible;
    record->visible = command != SW_HIDE;
    return wasVisible;
}

/* A child window's parent; a top-level window's owner (NULL when none). */
HWND WINAPI GetParent(HWND window)
{
    Window *record = LiveWindow(window);
    if (!record) return NULL;
    return record->parent ? record->parent : record->owner;
}

/* Returns whether the window was disabled before. */
BOOL WINAPI EnableWindow(HWND window, BOOL enable)
{
    Log(std::string("EnableWindow(") + (enable ? "TRUE" : "FALSE") + ")");
    Window *record = LiveWindow(window);
    if (!record) return FALSE;
    BOOL wasDisabled = record->disabled;
    record->disabled = !enable;
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND window)
{
    Window *record = LiveWindow(window);
    return record && !record->disabled;
}

BOOL WINAPI UpdateWindow(HWND window)
{
    Log("UpdateWindow");
    return LiveWindow(window) != NULL;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    Log("MoveWindow(" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(width) + "," +
        std::to_string(height) + "," + (repaint ? "TRUE" : "FALSE") + ")");
    Window *record = LiveWindow(window);
    if (!record) return FALSE;
    record->x = x, record->y = y, record->width = width, record->height = height;
    return TRUE;
}

/* The client area is the window's size less its caption (borders are not modelled). */
BOOL WINAPI GetClientRect(HWND window, LPRECT rect)
{
    Window *record = LiveWindow(window);
    if (!record) return FALSE;
    LONG caption = (record->style & WS_CAPTION) == WS_CAPTION ? state().captionHeight : 0;
    rect->left = rect->top = 0;
    rect->right = record->width > 0 ? record->width : 0;
    rect->bottom = record->height > caption ? record->height - caption : 0;
    return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text)
{
    Window *record = LiveWindow(window);
    if (!record) return FALSE;
    record->text = text ? text : "";
    return TRUE;
}

/* Copies at most size - 1 bytes and a terminator; returns the bytes copied. */
int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size)
{
    Window *record = LiveWindow(window);
    if (size <= 0) return 0;
    buffer[0] = '\0';
    if (!record) return 0;
    size_t n = record->text.size() < (size_t)size - 1 ? record->text.size() : (size_t)size - 1;
    memcpy(buffer, record->text.data(), n);
    buffer[n] = '\0';
    return (int)n;
}

int WINAPI GetSystemMetrics(int index)
{
    Log("GetSystemMetrics(" + std::to_string(index) + ")");
    switch (index) {
    case SM_CXSCREEN:
        return state().screenWidth;
    case SM_CYSCREEN:
        return state().screenHeight;
    case SM_CYCAPTION:
        return state().captionHeight;
    default:
        return 0;
    }
}

/* Builds a dialog and its controls from a scripted template and sends it
 * WM_INITDIALOG; when that answers TRUE the first control takes the focus. */
static HWND BuildDialog(HINSTANCE instance, LPCSTR templateName, HWND parent, HWND owner, DLGPROC procedure,
                        LPARAM param)
{
    int templateId = IS_INTRESOURCE(templateName) ? (int)(ULONG_PTR)templateName : 0;
    auto found = state().templates.find(templateId);
    if (found == state().templates.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return NULL;
    }
    Window dialog;
    dialog.className = kDialogClass;
    dialog.dialogProc = procedure;
    dialog.parent = parent;
    dialog.owner = owner;
    dialog.instance = instance;
    dialog.templateId = templateId;
    dialog.width = found->second.width;
    dialog.height = found->second.height;
    dialog.visible = true;
    HWND window = AddWindow(dialog);
    HWND first = NULL;
    for (int id : found->second.controls) {
        Window control;
        control.className = kControlClass;
        control.parent = window;
        control.instance = instance;
        control.id = id;
        control.visible = true;
        HWND made = AddWindow(control);
        if (!first) first = made;
    }
    if (procedure(window, WM_INITDIALOG, (WPARAM)first, param) && first) state().focus = first;
    return window;
}

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC procedure,
                               LPARAM param)
{
    Log("CreateDialogParamA(" + std::to_string((ULONG_PTR)templateName) + ")");
    return BuildDialog(instance, templateName, parent, NULL, procedure, param);
}

/* The modal loop is the scripted press: WM_COMMAND from that control, then the
 * result the procedure gave EndDialog. */
INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure,
                               LPARAM param)
{
    Log("DialogBoxParamA(" + std::to_string((ULONG_PTR)templateName) + ")");
    HWND dialog = BuildDialog(instance, templateName, NULL, owner, procedure, param);
    if (!dialog) return -1;
    while (!standin::WindowOf(dialog)->ended) {
        if (state().dialogPresses.empty()) abort();  /* would wait for ever: the test gave no answer */
        int id = state().dialogPresses.front();
        state().dialogPresses.pop_front();
        procedure(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
    }
    INT_PTR result = standin::WindowOf(dialog)->endResult;
    DestroyWindow(dialog);
    return result;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    Log("EndDialog(" + std::to_string(result) + ")");
    Window *record = LiveWindow(dialog);
    if (!record) return FALSE;
    record->ended = true;
    record->endResult = result;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    for (size_t i = 0; i < state().windows.size(); i++) {
        const Window &w = state().windows[i];
        if (!w.destroyed && w.parent == dialog && dialog != NULL && w.id == id) return HandleOf(i);
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return NULL;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    Log("SetDlgItemTextA(" + std::to_string(id) + ")");
    return SetWindowTextA(GetDlgItem(dialog, id), text);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (size > 0) buffer[0] = '\0';
        return 0;
    }
    return (UINT)GetWindowTextA(control, buffer, size);
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    Log("IsDlgButtonChecked(" + std::to_string(id) + ")");
    return (UINT)SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0);
}

/* Answers TRUE even for a missing control, as Wine does. */
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check)
{
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, check, 0);
    return TRUE;
}

HWND WINAPI GetFocus(void) { return state().focus; }

/* Moves the focus and returns where it was (NULL for a bad handle, focus kept). */
HWND WINAPI SetFocus(HWND window)
{
    Log("SetFocus");
    if (window && !LiveWindow(window)) return NULL;
    HWND previous = state().focus;
    state().focus = window;
    return previous;
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC procedure)
{
    Log("SetTimer(" + std::to_string(id) + "," + std::to_string(milliseconds) + "," +
        (procedure ? "procedure" : "NULL") + ")");
    if (!LiveWindow(window)) return 0;
    state().timers[id] = window;
    return id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id)
{
    Log("KillTimer(" + std::to_string(id) + ")");
    auto found = state().timers.find(id);
    if (found == state().timers.end() || found->second != window) return FALSE;
    state().timers.erase(found);
    return TRUE;
}

/* A window's system menu handle is its own handle offset by one. */
HMENU WINAPI GetSystemMenu(HWND window, BOOL revert)
{
    Log(std::string("GetSystemMenu(") + (revert ? "TRUE" : "FALSE") + ")");
    if (!LiveWindow(window)) return NULL;
    return (HMENU)((ULONG_PTR)window + 1);
}

static BOOL RemoveCommand(HMENU menu, UINT position, UINT flags)
{
    Window *record = standin::WindowOf((HWND)((ULONG_PTR)menu - 1));
    if (!record) return FALSE;
    std::vector<UINT> &items = record->systemMenu;
    if (flags & MF_BYPOSITION) {
        if (position >= items.size()) return FALSE;
        items.erase(items.begin() + position);
        return TRUE;
    }
    for (size_t i = 0; i < items.size(); i++) {
        if (items[i] == position) {
            items.erase(items.begin() + (long)i);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WINAPI DeleteMenu(HMENU menu, UINT position, UINT flags)
{
    Log("DeleteMenu(" + std::to_string(position) + "," + std::to_string(flags) + ")");
    return RemoveCommand(menu, position, flags);
}

BOOL WINAPI RemoveMenu(HMENU menu, UINT position, UINT flags)
{
    Log("RemoveMenu(" + std::to_string(position) + "," + std::to_string(flags) + ")");
    return RemoveCommand(menu, position, flags);
}

BOOL WINAPI DrawMenuBar(HWND window)
{
    Log("DrawMenuBar");
    return LiveWindow(window) != NULL;
}

/* Only the class icon is modelled; it is kept per class name. */
ULONG_PTR WINAPI SetClassLongPtrA(HWND window, int index, LONG_PTR value)
{
    Log("SetClassLongPtrA(" + std::to_string(index) + ")");
    Window *record = LiveWindow(window);
    if (!record || index != GCLP_HICON) return 0;
    HICON &icon = state().classIcons[record->className];
    HICON previous = icon;
    icon = (HICON)value;
    return (ULONG_PTR)previous;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index)
{
    Window *record = LiveWindow(window);
    if (!record || index != GWLP_HINSTANCE) return 0;
    return (LONG_PTR)record->instance;
}
