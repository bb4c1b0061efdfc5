#include "ui/frame.h"

#include "common/user_message.h"
#include "ui/common_controls.h"
#include "ui/page.h"

#define FRAME_STYLE (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)

/* After a restore the focus goes back once this timer fires. */
#define RESTORE_FOCUS_TIMER 2
#define RESTORE_FOCUS_DELAY 10

/* Losing the focus pauses the thread this long. */
#define FOCUS_LOSS_PAUSE 100

#define MSG_INSTRUCTION \
    "Select a printer driver.\nTo use a network port, check mark the option \"Use a network port\"."
#define MSG_QUIT "Quit " PRODUCT_TITLE "\n\nIS it OK?"

HWND g_frameWindow;
HWND g_pageWindow;

static const char *g_modelCaption;  /* the page's group box caption, while the frame is made */
static RECT g_pageRect;
static HWND g_focusMemory;

/* WM_CREATE: the page inside the frame, at its own size, with its texts. */
static void BuildPage(HWND frame)
{
    InitSystemCommonControls();
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(frame, GWLP_HINSTANCE);
    g_pageWindow = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PAGE), frame, PageDialogProc, 0);
    g_pageRect = RECT();
    GetClientRect(g_pageWindow, &g_pageRect);
    MoveWindow(g_pageWindow, 0, 0, g_pageRect.right, g_pageRect.bottom, TRUE);
    ShowWindow(g_pageWindow, SW_SHOW);
    SetClassLongPtrA(g_pageWindow, GCLP_HICON, (LONG_PTR)LoadIconA(instance, MAKEINTRESOURCEA(IDI_PRINTER)));
    SetDlgItemTextA(g_pageWindow, IDC_PAGE_INSTRUCTION, MSG_INSTRUCTION);
    SetDlgItemTextA(g_pageWindow, IDC_PAGE_MODEL_GROUP, g_modelCaption);
}

/* Keeps the window with the focus, if any, to give it back later. */
static void RememberFocus(void)
{
    HWND focus = GetFocus();
    if (focus) g_focusMemory = focus;
}

/* Returns 0 after Yes (the frame is destroyed) or an unknown answer, 1 after No. */
static LRESULT AskToQuit(HWND frame)
{
    switch (ShowMessage(frame, MSG_QUIT, MB_KIND_QUESTION)) {
    case IDYES:
        DestroyWindow(frame);
        return 0;
    case IDNO:
        SetFocus(g_focusMemory);
        return 1;
    default:
        return 0;
    }
}

/* Every listed message but WM_SYSCOMMAND is answered without default processing. */
static LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        BuildPage(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_RESTORED) SetTimer(window, RESTORE_FOCUS_TIMER, RESTORE_FOCUS_DELAY, NULL);
        return 0;
    case WM_ACTIVATE:
        if (wParam == WA_INACTIVE) RememberFocus(); /* the whole value: not when minimised */
        return 0;
    case WM_SETFOCUS:
        SetFocus(g_focusMemory);
        return 0;
    case WM_KILLFOCUS:
        RememberFocus();
        Sleep(FOCUS_LOSS_PAUSE);
        return 0;
    case WM_CLOSE:
        if (g_installationStarted) return 0; /* the installation ends the launch itself */
        g_focusMemory = GetFocus();
        return AskToQuit(window);
    case WM_SYSCOMMAND:
        if (wParam == SC_MINIMIZE) RememberFocus(); /* the whole value, low bits unmasked */
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_TIMER:
        KillTimer(window, RESTORE_FOCUS_TIMER); /* whichever timer fired */
        SetFocus(g_focusMemory);
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

/* Centres the frame on the screen at the page's size plus a caption; borders
 * get no allowance, and a screen smaller than the frame gives a negative place. */
static void CentreFrame(HWND frame)
{
    int captionHeight = GetSystemMetrics(SM_CYCAPTION);
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    GetClientRect(g_pageWindow, &g_pageRect);
    int width = g_pageRect.right;
    int height = g_pageRect.bottom + captionHeight;
    MoveWindow(frame, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height, TRUE);
}

/* The frame can be minimised but neither maximised nor resized. */
static void RemoveSizingCommands(HWND frame)
{
    HMENU systemMenu = GetSystemMenu(frame, FALSE);
    DeleteMenu(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(systemMenu, SC_SIZE, MF_BYCOMMAND);
    DrawMenuBar(frame);
}

HWND CreateFrameWindow(HINSTANCE instance, int showCommand, const char *modelCaption)
{
    g_modelCaption = modelCaption;
    HWND frame = CreateWindowExA(0, WINDOW_CLASS_NAME, PRODUCT_TITLE, FRAME_STYLE, 0, 0, 0, 0, NULL, NULL,
                                 instance, NULL);
    g_modelCaption = NULL;
    if (!frame) return NULL;
    g_frameWindow = frame;
    CentreFrame(frame);
    ShowWindow(frame, showCommand);
    UpdateWindow(frame);
    RemoveSizingCommands(frame);
    return frame;
}
