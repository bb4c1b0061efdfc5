#include "startup/usage.h"

#include "common/bounded.h"
#include "common/outcome.h"
#include "common/user_message.h"
#include "startup/run_log.h"

#define USAGE_SIZE 2048

/* One line a paragraph: the box wraps them to its width, and it stays low
 * enough for a 768-pixel screen.  The exit codes' meanings are in the
 * documentation. */
#define USAGE                                                                                                     \
    "Setup.exe [/quiet] [/log=PATH] [/norestart]\n"                                                               \
    "Setup.exe /quiet /printer=NAME /port=HOST [/model=NAME] [/portnumber=N] [/lpr=QUEUE] [/snmp=COMMUNITY]\n"     \
    "Setup.exe /uninstall [/quiet] [/printer=NAME]\n"                                                             \
    "Setup.exe /check\n\n"                                                                                        \
    "/quiet (or /q, /qn, /qb, /passive, /s, /silent, /verysilent): no window; the exit code tells the outcome.\n" \
    "/log=PATH: appends a log of the run to PATH (quiet mode: a new log in the temp folder by default).\n"        \
    "/printer=NAME /port=HOST: with /quiet, also adds the print queue NAME on the Standard TCP/IP port "           \
    "IP_HOST; /model names the INF's model where it has several.\n"                                               \
    "/uninstall (or /x): removes the driver package, with /printer also that printer, its port and its driver.\n" \
    "/check: reports every problem of the package.\n"                                      \
    "/norestart, /suppressmsgboxes, /sp-: accepted; Setup never restarts Windows.\n\n"                            \
    "Example: Setup.exe /quiet /printer=\"Floor 2\" /port=10.0.0.5 /log=%TEMP%\\printer.log\n\n"                 \
    "Exit codes: 0 done, 3010 or 1641 done with a restart, 1602 declined, 1603 failed, 1618 already running, "    \
    "1619 package not opened, 1620 package invalid, 1622 no log, 1633 Windows not served, 1639 bad command "      \
    "line.\n\n" PRODUCT_TITLE " " VERSION_TEXT

static const char USAGE_TEXT[] = USAGE;

int ShowUsage(void)
{
    ShowMessage(NULL, USAGE_TEXT, MB_KIND_INFORMATION);
    return 0;
}

/* The box names the argument and shows the usage; where nothing is shown
 * the log and the check's console get the first line only. */
int RefuseCommandLine(const LaunchOptions *options)
{
    static char text[USAGE_SIZE + MAX_PATH];
    if (options->badValue) {
        format_bounded(text, "Bad command-line argument: %s (%s)", options->badArgument, options->badValue);
    } else {
        format_bounded(text, options->conflict ? "Command-line argument that cannot go with the others: %s"
                                               : "Unknown command-line argument: %s",
                       options->badArgument);
    }
    if (NothingOnScreen(options)) {
        StartRunLog(options);
    } else {
        append_bounded(text, "\n\n");
        append_bounded(text, USAGE_TEXT);
    }
    ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INVALID_COMMAND_LINE);
    return EndRun(options, ERROR_INVALID_COMMAND_LINE);
}
