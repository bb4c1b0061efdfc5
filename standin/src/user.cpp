/* user32 and gdi32 subset: message boxes, window classes, icons, the message queue. */
#include <standin.h>

#include <stdlib.h>

using standin::Log;
using standin::state;

/* The top-level window of window: itself, or the window its parents lead to. */
static standin::Window *TopLevel(HWND window)
{
    standin::Window *record = standin::WindowOf(window);
    while (record && record->parent && standin::WindowOf(record->parent)) record = standin::WindowOf(record->parent);
    return record;
}

/* The box's modal loop looks at the queue; "a WM_QUIT message always breaks
 * the modal loop": a waiting quit closes the box at once, unanswered, and
 * stays posted for the loop outside. */
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Log("MessageBoxA");
    standin::Window *top = TopLevel(owner);
    state().messageBoxes.push_back(standin::MessageBoxCall{owner, text ? text : "", caption ? caption : "", type,
                                                           !(top && top->disabled), state().quitPosted});
    state().messagesSeen = state().postedMessages.size();
    if (state().quitPosted) return 0;
    if (!state().messageBoxAnswers.empty()) {
        int answer = state().messageBoxAnswers.front();
        state().messageBoxAnswers.pop_front();
        return answer;
    }
    return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *windowClass)
{
    Log(std::string("RegisterClassExA(") + windowClass->lpszClassName + ")");
    if (state().classRegistrationFails || windowClass->cbSize != sizeof(WNDCLASSEXA)) return 0;
    state().registeredClasses.push_back(*windowClass);
    return (ATOM)(0xC000 + state().registeredClasses.size());
}

/* Icons and cursors are tokens that remember which resource they stand for:
 * the executable's own (instance given) or the system's (NULL instance). */
struct IconToken {
    struct HICON__ token;
    int id;
};
static std::map<int, IconToken> g_icons;

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name)
{
    if (!IS_INTRESOURCE(name)) return NULL;
    int id = (int)(ULONG_PTR)name;
    IconToken &icon = g_icons[instance ? id : id + 0x10000];
    icon.id = id;
    return &icon.token;
}

int standin::IconId(HICON icon)
{
    for (auto &entry : g_icons)
        if (&entry.second.token == icon) return entry.second.id;
    return 0;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    return instance == NULL ? LoadIconA(instance, name) : NULL;
}

static struct HBRUSH__ g_whiteBrush;

HGDIOBJ WINAPI GetStockObject(int object) { return object == WHITE_BRUSH ? &g_whiteBrush : NULL; }

/* Recorded, so tests see which messages reach default processing; of that
 * processing only WM_CLOSE's destroying the window is modelled. */
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)wParam, (void)lParam;
    Log("DefWindowProcA(" + std::to_string(message) + ")");
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

/* The quit message comes after every posted message. */
void WINAPI PostQuitMessage(int exitCode)
{
    Log("PostQuitMessage(" + std::to_string(exitCode) + ")");
    state().quitPosted = true;
    state().quitCode = exitCode;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT first, UINT last)
{
    (void)window, (void)first, (void)last;
    if (!state().quitPosted && state().whileLoopWaits) {
        void (*user)() = state().whileLoopWaits;
        state().whileLoopWaits = NULL;
        user();
    }
    if (!state().quitPosted) abort();  /* would wait for ever: a test drove the loop without ending it */
    state().quitPosted = false;
    *msg = MSG();
    msg->message = WM_QUIT;
    msg->wParam = (WPARAM)state().quitCode;
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG *msg)
{
    (void)msg;
    return FALSE;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Log("PostMessageA(" + std::to_string(message) + ")");
    standin::Window *record = standin::WindowOf(window);
    if (!record || record->destroyed) {
        SetLastError(1400);  /* ERROR_INVALID_WINDOW_HANDLE */
        return FALSE;
    }
    MSG msg = MSG();
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    state().postedMessages.push_back(msg);
    return TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove)
{
    (void)window, (void)first, (void)last;
    Log("PeekMessageA");
    state().messagesSeen = state().postedMessages.size();
    if (!state().postedMessages.empty()) {
        *msg = state().postedMessages.front();
        if (remove & PM_REMOVE) {
            state().postedMessages.pop_front();
            state().messagesSeen--;
        }
        return TRUE;
    }
    if (!state().quitPosted) return FALSE;
    *msg = MSG();
    msg->message = WM_QUIT;
    msg->wParam = (WPARAM)state().quitCode;
    if (remove & PM_REMOVE) state().quitPosted = false;
    return TRUE;
}

/* A posted message goes to its window's procedure; a button told BM_CLICK
 * tells its parent it was clicked, as a button does. */
LRESULT WINAPI DispatchMessageA(const MSG *msg)
{
    standin::Window *record = standin::WindowOf(msg->hwnd);
    if (!record || record->destroyed) return 0;
    Log("DispatchMessageA(" + std::to_string(msg->message) + ")");
    if (standin::ChildRunning()) state().dispatchedWhileChildRuns.push_back(msg->message);
    if (record->windowProc) return record->windowProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (record->dialogProc) return record->dialogProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == BM_CLICK)
        return SendMessageA(record->parent, WM_COMMAND, MAKEWPARAM(record->id, BN_CLICKED), (LPARAM)msg->hwnd);
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

/* Wakes for a posted message (or the quit message) before the objects: for
 * a new one, or with MWMO_INPUTAVAILABLE for any; then it has seen them all.
 * The objects are processes, which end when waited for.  whileChildRuns
 * comes first. */
DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE *handles, DWORD milliseconds, DWORD wakeMask,
                                         DWORD flags)
{
    (void)wakeMask;
    Log("MsgWaitForMultipleObjectsEx(" + std::to_string(flags) + ")");
    if (state().whileChildRuns) {
        void (*screen)() = state().whileChildRuns;
        state().whileChildRuns = NULL;
        screen();
    }
    size_t waiting = state().postedMessages.size();
    bool input = (flags & MWMO_INPUTAVAILABLE) ? waiting > 0 : waiting > state().messagesSeen;
    state().messagesSeen = waiting;
    if (input || state().quitPosted) return WAIT_OBJECT_0 + count;
    for (DWORD i = 0; i < count; i++) {
        DWORD result = WAIT_FAILED;
        if (standin::WaitForProcess(handles[i], milliseconds, &result) && result == WAIT_OBJECT_0)
            return WAIT_OBJECT_0 + i;
        if (result == WAIT_FAILED) return WAIT_FAILED;
    }
    return WAIT_TIMEOUT;
}
