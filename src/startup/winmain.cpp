/* The launcher's entry: the command line, the log, then the one mode it asks for. */
#include <windows.h>

#include "common/console.h"
#include "common/system_probes.h"
#include "common/user_message.h"
#include "startup/check_mode.h"
#include "startup/command_line.h"
#include "startup/dll_search.h"
#include "startup/quiet_mode.h"
#include "startup/run_log.h"
#include "startup/uninstall_mode.h"
#include "startup/usage.h"
#include "startup/window_mode.h"

/* Where texts go: boxes in window mode; else the log, and for the package
 * check the console it was started from, which it reports to. */
static void ChooseMessageOutput(const LaunchOptions *options)
{
    g_messageOutput = MESSAGES_IN_BOXES;
    if (options->mode == MODE_CHECK) {
        OpenConsoleReport();
        g_messageOutput = MESSAGES_ON_CONSOLE;
    } else if (options->quiet) {
        g_messageOutput = MESSAGES_IN_LOG;
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    RestrictDllSearch();
    LaunchOptions options;
    ParseCommandLine(commandLine, &options);
    /* A deployment tool may start it as SYSTEM without /quiet: nobody would
     * ever answer its windows. */
    if (!NothingOnScreen(&options)) MakeQuietForNoScreen(&options, LookAtScreen());
    RequireQuietForPrinter(&options);
    ChooseMessageOutput(&options);
    if (options.badArgument[0]) return RefuseCommandLine(&options);
    if (options.help[0]) return ShowUsage();
    if (!StartRunLog(&options)) return RefuseLogFile(&options);
    if (options.mode == MODE_CHECK) return RunCheckMode();
    if (options.mode == MODE_UNINSTALL) return RunUninstallMode(&options);
    if (options.quiet) {
        RunQuietMode(&options);
        return EndRun(&options, 0);
    }
    return EndRun(&options, RunWindowMode(instance, previous, showCommand));
}
