/* Stand-in rundll32.exe, reached as "rundll32.exe printui.dll,PrintUIEntry /il"
 * for the Add Printer wizard.  It adds a printer when E2E_WIZARD_ADD_PRINTER is
 * 1, removes the printer named by E2E_WIZARD_REMOVE_PRINTER, records how it was
 * started, shows a window until it is closed when E2E_WIZARD_WINDOW is 1, then
 * sleeps and exits as E2E_WIZARD_SLEEP_MS and E2E_WIZARD_EXIT say. */
#include <windows.h>

#include "common/text.h"
#include "tools/tool_log.h"
#include "tools/wizard_printer.h"

#define DEFAULT_PRINTER_NAME "E2E Wizard Printer"
#define WIZARD_CLASS "E2EAddPrinterWizard"
#define WIZARD_CAPTION "Add Printer"

static LRESULT CALLBACK WizardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

/* Shows the wizard's window, unless the parent asked for it hidden, and runs
 * until it is closed.  Returns 0 when the window could not be made.  It is
 * shown without taking the activation: when
 * an active window of another process closes, Wine (with no window manager)
 * activates the launcher's frame late, over the box the launcher has opened
 * by then, and the box's icon could not be seen. */
static int ShowWizardWindow(HINSTANCE instance, int showCommand)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = WizardWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = WIZARD_CLASS;
    if (!RegisterClassA(&windowClass)) return 0;
    HWND window = CreateWindowA(WIZARD_CLASS, WIZARD_CAPTION, WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, NULL, NULL,
                                instance, NULL);
    if (!window) return 0;
    ShowWindow(window, showCommand == SW_HIDE ? SW_HIDE : SW_SHOWNOACTIVATE);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)previous, (void)commandLine;
    char detail[256] = "";
    char name[128];
    if (EnvNumber("E2E_WIZARD_ADD_PRINTER", 0) == 1) {
        if (!EnvText("E2E_WIZARD_PRINTER_NAME", name, sizeof name)) copy_bounded(name, DEFAULT_PRINTER_NAME);
        AddWizardPrinter(name, detail, sizeof detail);
    } else if (EnvText("E2E_WIZARD_REMOVE_PRINTER", name, sizeof name)) {
        RemoveWizardPrinter(name, detail, sizeof detail);
    }
    LogToolStart("rundll32", detail);
    if (EnvNumber("E2E_WIZARD_WINDOW", 0) == 1) ShowWizardWindow(instance, showCommand);
    SleepAsAsked("E2E_WIZARD_SLEEP_MS");
    unsigned exitCode = ExitCodeAsAsked("E2E_WIZARD_EXIT");
    LogToolExit("rundll32", exitCode, "");
    ExitProcess(exitCode);
}
