/* The launcher's entry: the command line, then the start-up checks in their
 * fixed order, then the window stage or, in quiet mode, the installation; or
 * instead of all that the package check. */
#include <windows.h>

#include "common/message.h"
#include "deploy/command_line.h"
#include "deploy/console_report.h"
#include "deploy/launch_log.h"
#include "deploy/log_start.h"
#include "deploy/outcome.h"
#include "deploy/quiet_install.h"
#include "deploy/usage.h"
#include "setupinfo/package_check.h"
#include "setupinfo/setup_file.h"
#include "startup/dll_search.h"
#include "startup/instance_guard.h"
#include "startup/launch_folder.h"
#include "startup/system_probes.h"
#include "ui/frame.h"

#define MSG_FOLDER_TOO_LONG                                                                  \
    "Folder path to Software setup is too long.\nMove this Software setup to another folder " \
    "whose path within 100 characters.\n\nExit the program."

/* Dispatches messages until the quit message; returns its code. */
static int RunMessageLoop(void)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

/* The launch itself.  Returns window mode's exit code: 0 on every early end,
 * else the quit message's.  Every end has recorded its outcome. */
static int RunLaunch(HINSTANCE instance, HINSTANCE previous, int showCommand)
{
    if (!CaptureLaunchFolder()) {
        ReportOutcome(NULL, MSG_FOLDER_TOO_LONG, MB_KIND_WARNING, ERROR_INSTALL_PACKAGE_OPEN_FAILED);
        return 0;
    }
    OSVERSIONINFOEXA version;
    if (!QueryVersion(&version) || version.dwPlatformId == VER_PLATFORM_WIN32s) {
        SetOutcome(ERROR_INSTALL_PLATFORM_UNSUPPORTED, "The Windows version cannot be read or is not served");
        return 0;
    }
    const char *mutexName = ChooseMutexName(&version);
    /* Quiet mode makes no window, so it needs no window class. */
    if (!QuietMode() && previous == NULL && !RegisterFrameClass(instance)) {
        LogLine("The window class cannot be registered");
        return 0;
    }
    HANDLE guard = TakeInstanceGuard(mutexName);
    if (!guard) return 0;
    /* On a failed check the guard stays held until the process ends. */
    if (!CheckSetupFileAtStart()) return 0;
    int exitCode = 0;
    if (QuietMode()) {
        InstallQuietly();
    } else if (CreateFrameWindow(instance, showCommand)) {
        exitCode = RunMessageLoop();
    }
    DropInstanceGuard(guard);
    return exitCode;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    RestrictDllSearch();
    int understood = ParseCommandLine(commandLine, &g_options);
    if (g_options.check) OpenConsoleReport();
    if (!understood) return RefuseCommandLine();
    if (g_options.help) return ShowUsage();
    if (!StartLaunchLog()) return RefuseLogFile();
    if (g_options.check) {
        SetOutcome(CheckPackage(), NULL);
        return EndLaunch(0);
    }
    return EndLaunch(RunLaunch(instance, previous, showCommand));
}
