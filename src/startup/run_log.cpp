#include "startup/run_log.h"

#include "common/bounded.h"
#include "common/launch_log.h"
#include "common/outcome.h"
#include "common/system_probes.h"
#include "common/user_message.h"

#define MSG_LOG_FAILED "The log file cannot be opened (error %lu):\n%s\n\nExit the program."

static DWORD g_openError;

static void LogLaunchFolder(void)
{
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) {
        LogLine("Launch folder: cannot be read (%lu bytes)", (unsigned long)length);
    } else {
        LogLine("Launch folder: %s", folder);
    }
}

static void LogWindowsVersion(void)
{
    OSVERSIONINFOEXA version;
    if (!QueryVersion(&version)) {
        LogLine("Windows version: cannot be read");
        return;
    }
    LogLine("Windows version: %lu.%lu.%lu, platform %lu%s%s", (unsigned long)version.dwMajorVersion,
            (unsigned long)version.dwMinorVersion, (unsigned long)version.dwBuildNumber,
            (unsigned long)version.dwPlatformId, version.szCSDVersion[0] ? ", " : "", version.szCSDVersion);
}

static void WriteHeader(const LaunchOptions *options)
{
    LogLine("%s %s", PRODUCT_TITLE, VERSION_TEXT);
    LogLine("Command line: %s", GetCommandLineA());
    char program[MAX_PATH] = "";
    GetModuleFileNameA(NULL, program, sizeof program);
    program[sizeof program - 1] = '\0';
    LogLine("Program: %s", program);
    LogLaunchFolder();
    LogWindowsVersion();
    LogLine("WOW64: %s", IsWow64() ? "yes" : "no");
    LogLine("Mode: %s", ModeName(options));
}

int StartRunLog(const LaunchOptions *options)
{
    if (options->logPath[0]) {
        if (!OpenLogFile(options->logPath)) {
            g_openError = GetLastError();
            return 0;
        }
    } else if (options->quiet && options->mode != MODE_CHECK) {
        CreateTempLog();
    }
    if (LogIsOpen()) WriteHeader(options);
    return 1;
}

int RefuseLogFile(const LaunchOptions *options)
{
    char text[MAX_PATH + sizeof MSG_LOG_FAILED + 16];
    format_bounded(text, MSG_LOG_FAILED, (unsigned long)g_openError, options->logPath);
    ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INSTALL_LOG_FAILURE);
    return EndRun(options, ERROR_INSTALL_LOG_FAILURE);
}

int EndRun(const LaunchOptions *options, int windowCode)
{
    return NothingOnScreen(options) ? EndWithOutcome(NULL) : EndWindowLaunch(windowCode);
}
