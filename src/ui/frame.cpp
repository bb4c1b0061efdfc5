#include "ui/frame.h"

#include "common/message.h"

HWND g_frameWindow;
HWND g_pageWindow;

static LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

ATOM RegisterFrameClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = FrameWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PRINTER));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    return RegisterClassExA(&windowClass);
}

/* The frame, its notice and its page are not built yet: the launch ends here. */
int CreateFrameWindow(HINSTANCE instance, int showCommand)
{
    (void)instance, (void)showCommand;
    return 0;
}
