/*
 * The floor for the start-up benchmark: the least a launcher of this design
 * does before its notice shows.  The same window class, frame, page (with the
 * texts and icon the launcher's page shows for the sample package), common
 * controls and notice dialog as Setup.exe (the notice's own code), the same
 * focus handling with its pause when the frame loses the focus
 * (FLOOR_FOCUS_PAUSE, 100 ms as in the frame, 0 for the variant that measures
 * the pause), and nothing else: no folder, version, instance or setup file
 * checks.  Cancel on the notice ends it; OK leaves the frame until it is closed.
 * For the benchmark its exit code counts the focus pauses it took: before the
 * notice dialog was started, plus 10 for each while it ran, plus 100 for each after.
 */
#include <windows.h>

#include "resource.h"
#include "ui/common_controls.h"
#include "ui/notice_dialog.h"

#ifndef FLOOR_FOCUS_PAUSE
#define FLOOR_FOCUS_PAUSE 100
#endif

#define FRAME_CLASS BRAND_WINDOW_CLASS
#define FRAME_TITLE BRAND_TITLE
#define FRAME_STYLE (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)
#define RESTORE_FOCUS_TIMER 2
#define RESTORE_FOCUS_DELAY 10

/* The page shows what the launcher's page shows for the sample package. */
#define FLOOR_INSTRUCTION \
    "Select a printer driver.\nTo use a network port, check mark the option \"Use a network port\"."
#define FLOOR_MODEL "ZEMBRIX VQ-2200 Series"

static HWND g_page;
static HWND g_focusMemory;
static int g_pauses;
static int g_pauseWeight = 1; /* 1 before the notice, 10 while it runs, 100 after */

static INT_PTR CALLBACK FloorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)page, (void)wParam, (void)lParam;
    return message == WM_INITDIALOG;
}

static void BuildPage(HWND frame)
{
    InitSystemCommonControls();
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(frame, GWLP_HINSTANCE);
    g_page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PAGE), frame, FloorPageProc, 0);
    RECT rect = RECT();
    GetClientRect(g_page, &rect);
    MoveWindow(g_page, 0, 0, rect.right, rect.bottom, TRUE);
    ShowWindow(g_page, SW_SHOW);
    SetClassLongPtrA(g_page, GCLP_HICON, (LONG_PTR)LoadIconA(instance, MAKEINTRESOURCEA(IDI_PRINTER)));
    SetDlgItemTextA(g_page, IDC_PAGE_INSTRUCTION, FLOOR_INSTRUCTION);
    SetDlgItemTextA(g_page, IDC_PAGE_MODEL_GROUP, FLOOR_MODEL);
}

static void RememberFocus(void)
{
    HWND focus = GetFocus();
    if (focus) g_focusMemory = focus;
}

static LRESULT CALLBACK FloorFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
        if (wParam == WA_INACTIVE) RememberFocus();
        return 0;
    case WM_SETFOCUS:
        SetFocus(g_focusMemory);
        return 0;
    case WM_KILLFOCUS:
        RememberFocus();
        Sleep(FLOOR_FOCUS_PAUSE);
        g_pauses += g_pauseWeight;
        return 0;
    case WM_TIMER:
        KillTimer(window, RESTORE_FOCUS_TIMER);
        SetFocus(g_focusMemory);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

static int RegisterFloorClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = WNDCLASSEXA();
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = FloorFrameProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PRINTER));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = FRAME_CLASS;
    return RegisterClassExA(&windowClass) != 0;
}

/* Creates, centres and shows the frame, trims its menu and runs the notice.
 * Returns 1 when the loop should run. */
static int ShowFrameAndNotice(HINSTANCE instance, int showCommand)
{
    HWND frame = CreateWindowExA(0, FRAME_CLASS, FRAME_TITLE, FRAME_STYLE, 0, 0, 0, 0, NULL, NULL, instance, NULL);
    if (!frame) return 0;
    RECT page = RECT();
    GetClientRect(g_page, &page);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    int x = (GetSystemMetrics(SM_CXSCREEN) - page.right) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (page.bottom + caption)) / 2;
    MoveWindow(frame, x, y, page.right, page.bottom + caption, TRUE);
    ShowWindow(frame, showCommand);
    UpdateWindow(frame);
    HMENU menu = GetSystemMenu(frame, FALSE);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DrawMenuBar(frame);
    g_pauseWeight = 10;
    INT_PTR answer = RunNoticeDialog(instance, frame);
    g_pauseWeight = 100;
    SetFocus(frame);
    if (answer == IDCANCEL) return 0;
    UpdateWindow(frame);
    return 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)previous, (void)commandLine;
    if (!RegisterFloorClass(instance)) return 0;
    if (ShowFrameAndNotice(instance, showCommand)) {
        MSG msg;
        while (GetMessageA(&msg, NULL, 0, 0)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return g_pauses;
}
