/* user32 and gdi32 subset: message boxes, window classes, the message queue. */
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

/* Icons and cursors are tokens that remember which resource they stand for. */
static struct HICON__ g_icons[4];

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name)
{
    (void)instance;
    return IS_INTRESOURCE(name) ? &g_icons[(ULONG_PTR)name % 4] : NULL;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    return instance == NULL ? LoadIconA(instance, name) : NULL;
}

static struct HBRUSH__ g_whiteBrush;

HGDIOBJ WINAPI GetStockObject(int object) { return object == WHITE_BRUSH ? &g_whiteBrush : NULL; }

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)window, (void)message, (void)wParam, (void)lParam;
    return 0;
}

/* The queue holds only the quit message: nothing else is posted on the host. */
static bool g_quitPosted;
static int g_quitCode;

void WINAPI PostQuitMessage(int exitCode)
{
    Log("PostQuitMessage(" + std::to_string(exitCode) + ")");
    g_quitPosted = true;
    g_quitCode = exitCode;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT first, UINT last)
{
    (void)window, (void)first, (void)last;
    if (!g_quitPosted) abort();  /* would wait for ever: a test drove the loop without ending it */
    g_quitPosted = false;
    *msg = MSG();
    msg->message = WM_QUIT;
    msg->wParam = (WPARAM)g_quitCode;
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
