/* Stand-in rundll32.exe, reached as "rundll32.exe printui.dll,PrintUIEntry /il"
 * for the Add Printer wizard.  It records how it was started, adds a printer
 * when E2E_WIZARD_ADD_PRINTER is 1, then sleeps and exits as E2E_WIZARD_SLEEP_MS
 * and E2E_WIZARD_EXIT say. */
#include <windows.h>

#include "common/text.h"
#include "tools/tool_log.h"
#include "tools/wizard_printer.h"

#define DEFAULT_PRINTER_NAME "E2E Wizard Printer"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)instance, (void)previous, (void)commandLine, (void)showCommand;
    char detail[256] = "";
    if (EnvNumber("E2E_WIZARD_ADD_PRINTER", 0) == 1) {
        char name[128];
        if (!EnvText("E2E_WIZARD_PRINTER_NAME", name, sizeof name)) CopyBounded(name, sizeof name, DEFAULT_PRINTER_NAME);
        AddWizardPrinter(name, detail, sizeof detail);
    }
    LogToolStart("rundll32", detail);
    SleepAsAsked("E2E_WIZARD_SLEEP_MS");
    ExitProcess(ExitCodeAsAsked("E2E_WIZARD_EXIT"));
}
