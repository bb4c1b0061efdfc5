#include "common/outcome.h"

#include "common/launch_log.h"
#include "common/user_message.h"

/* The codes are Windows Installer's, which deployment tools know. */
const ExitCodeRow EXIT_CODES[] = {
    {ERROR_SUCCESS, "the driver is staged", "the package is removed, or was not on this PC"},
    {ERROR_SUCCESS_REBOOT_REQUIRED, "the driver is staged; a restart is needed",
     "the package is removed; a restart is needed"},
    {ERROR_SUCCESS_REBOOT_INITIATED, "the driver is staged; the staging tool started a restart", ""},
    {ERROR_INSTALL_USEREXIT, "", "No was answered: nothing is removed"},
    {ERROR_INSTALL_ALREADY_RUNNING, "another copy of the launcher is running; try again later", NULL},
    {ERROR_INSTALL_PACKAGE_OPEN_FAILED, "the package cannot be opened", NULL},
    {ERROR_INSTALL_PACKAGE_INVALID, "the package is invalid", NULL},
    {ERROR_INSTALL_PLATFORM_UNSUPPORTED, "this Windows is not served: its version, or protected print mode", NULL},
    {ERROR_INVALID_COMMAND_LINE, "bad command line", NULL},
    {ERROR_INSTALL_LOG_FAILURE, "the log file cannot be opened", NULL},
    {ERROR_INSTALL_FAILURE, "staging the driver failed", "removing a published copy failed"},
};
const size_t EXIT_CODE_COUNT = sizeof EXIT_CODES / sizeof EXIT_CODES[0];

/* The outcome recorded, and whether one is: no initialised data in the executable. */
static DWORD g_outcome;
static int g_outcomeRecorded;

const char *ExitCodeMeaning(DWORD code, int removal)
{
    for (size_t i = 0; i < EXIT_CODE_COUNT; i++) {
        if (EXIT_CODES[i].code != code) continue;
        if (removal && EXIT_CODES[i].removalMeaning) return EXIT_CODES[i].removalMeaning;
        return EXIT_CODES[i].meaning;
    }
    return "unknown";
}

DWORD RecordedOutcome(void) { return g_outcomeRecorded ? g_outcome : ERROR_INSTALL_FAILURE; }

int ReportOutcome(HWND owner, const char *text, UINT kind, DWORD code)
{
    g_outcome = code;
    g_outcomeRecorded = 1;
    return ShowMessage(owner, text, kind);
}

void SetOutcome(DWORD code, const char *why)
{
    g_outcome = code;
    g_outcomeRecorded = 1;
    if (why) LogLine("%s", why);
}

/* The log's last line is written; the next launch in this process (the
 * tests run many) starts with no outcome again. */
static int EndLaunch(int exitCode)
{
    CloseLog();
    g_outcomeRecorded = 0;
    return exitCode;
}

int EndWithOutcome(const char *meaning)
{
    DWORD outcome = RecordedOutcome();
    LogLine("Exit code %lu: %s", (unsigned long)outcome, meaning ? meaning : ExitCodeMeaning(outcome, 0));
    return EndLaunch((int)outcome);
}

int EndWindowLaunch(int exitCode)
{
    LogLine("Exit code %d (window mode)", exitCode);
    return EndLaunch(exitCode);
}
