#include "startup/usage.h"

#include "common/bounded.h"
#include "common/outcome.h"
#include "common/user_message.h"
#include "startup/run_log.h"

#define USAGE_SIZE 2048

#define USAGE_SWITCHES                                                                  \
    "Setup.exe [/quiet] [/log=PATH] [/norestart]\n"                                      \
    "Setup.exe /uninstall [/quiet] [/log=PATH] [/norestart]\n"                           \
    "Setup.exe /check [/log=PATH]\n\n"                                                   \
    "/quiet, /q, /qn, /qb, /passive, /s, /silent, /verysilent\n"                          \
    "    No window and no message: the driver is staged as OK on the page stages it,\n"  \
    "    without the Add Printer wizard; the exit code tells the outcome.  So too\n"     \
    "    without it where nobody can see the screen (a service, SYSTEM).\n"             \
    "/log=PATH, /log PATH\n"                                                              \
    "    Appends a log of the run to PATH.  Quiet mode without /log writes a new log\n"  \
    "    in the temp folder.\n"                                                           \
    "/check\n"                                                                           \
    "    Checks the package in the current folder and reports every problem on the\n"    \
    "    console that started it and in the log; exit code 0, or 1620 for errors.\n"     \
    "/uninstall, /x\n"                                                                   \
    "    Removes the driver package this package staged: each published copy of its\n"  \
    "    INF.  Asks first, without /quiet.  A log goes new into the temp folder.\n"     \
    "/norestart, /suppressmsgboxes, /sp-\n"                                               \
    "    Accepted; Setup never restarts Windows, nor shows a box in quiet mode.\n"        \
    "/?, /h, /help\n"                                                                     \
    "    Shows this help (not with /quiet or /uninstall).\n\n"                            \
    "Exit codes of quiet mode (window mode ends with 0, or 1639 or 1622):\n"

/* The switches, then one line per exit code. */
static void BuildUsage(char (&text)[USAGE_SIZE])
{
    copy_bounded(text, USAGE_SWITCHES);
    char row[192];
    for (size_t i = 0; i < EXIT_CODE_COUNT; i++) {
        const ExitCodeRow &code = EXIT_CODES[i];
        const char *removal = code.removalMeaning;
        if (!code.meaning[0]) format_bounded(row, "%lu\t/uninstall: %s\n", (unsigned long)code.code, removal);
        else if (removal && removal[0]) format_bounded(row, "%lu\t%s (/uninstall: %s)\n", (unsigned long)code.code,
                                                       code.meaning, removal);
        else format_bounded(row, "%lu\t%s\n", (unsigned long)code.code, code.meaning);
        append_bounded(text, row);
    }
}

int ShowUsage(void)
{
    char text[USAGE_SIZE];
    BuildUsage(text);
    ShowMessage(NULL, text, MB_KIND_INFORMATION);
    return 0;
}

/* The box names the argument and shows the usage; where nothing is shown
 * the log and the check's console get the first line only. */
int RefuseCommandLine(const LaunchOptions *options)
{
    static char text[USAGE_SIZE + MAX_PATH];
    format_bounded(text, options->conflict ? "Command-line argument that cannot go with the others: %s"
                                           : "Unknown command-line argument: %s",
                   options->badArgument);
    if (NothingOnScreen(options)) {
        StartRunLog(options);
    } else {
        static char usage[USAGE_SIZE];
        BuildUsage(usage);
        append_bounded(text, "\n\n");
        append_bounded(text, usage);
    }
    ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INVALID_COMMAND_LINE);
    return EndRun(options, ERROR_INVALID_COMMAND_LINE);
}
