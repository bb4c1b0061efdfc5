/* user32 and gdi32 subset: message boxes, window classes, icons, the message queue. */
#include <standin.h>

#include <stdlib.h>

using standin::Log;
using standin::state;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Log("MessageBoxA");
    state().messageBoxes.push_back(
        standin::MessageBoxCall{owner, text ? text : "", caption ? caption : "", type});
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

/* The queue holds only the quit message: nothing else is posted on the host. */
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

LRESULT WINAPI DispatchMessageA(const MSG *msg)
{
    (void)msg;
    return 0;
}
