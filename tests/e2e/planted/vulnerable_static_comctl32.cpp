/* Vulnerable on purpose (a test build only): InitCommonControls imported
 * statically, so comctl32.dll is looked for in the launch folder before
 * WinMain runs.  Replaces src/ui/common_controls.cpp. */
#include "ui/common_controls.h"

#include <windows.h>

#include <commctrl.h>

void InitSystemCommonControls(void)
{
    InitCommonControls();
}
