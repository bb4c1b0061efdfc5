/* Stand-in pnputil.exe: records how it was started, then sleeps and exits as
 * E2E_PNPUTIL_SLEEP_MS and E2E_PNPUTIL_EXIT say.  It installs nothing. */
#include <windows.h>

#include "tools/tool_log.h"

int main(void)
{
    LogToolStart("pnputil", "");
    SleepAsAsked("E2E_PNPUTIL_SLEEP_MS");
    unsigned exitCode = ExitCodeAsAsked("E2E_PNPUTIL_EXIT");
    LogToolExit("pnputil", exitCode);
    ExitProcess(exitCode);
}
