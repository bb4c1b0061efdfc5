#include "deploy/log_start.h"

#include "common/bounded.h"
#include "common/message.h"
#include "deploy/command_line.h"
#include "deploy/launch_log.h"
#include "deploy/outcome.h"
#include "startup/system_probes.h"

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

static void WriteHeader(void)
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
    LogLine("Mode: %s", g_options.check ? "package check" : QuietMode() ? "quiet" : "window");
}

int StartLaunchLog(void)
{
    if (g_options.logPath[0]) {
        if (!OpenLogFile(g_options.logPath)) {
            g_openError = GetLastError();
            return 0;
        }
    } else if (g_options.quiet && !g_options.check) {
        CreateTempLog();
    }
    if (LogIsOpen()) WriteHeader();
    return 1;
}

int RefuseLogFile(void)
{
    char text[MAX_PATH + sizeof MSG_LOG_FAILED + 16];
    format_bounded(text, MSG_LOG_FAILED, (unsigned long)g_openError, g_options.logPath);
    ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INSTALL_LOG_FAILURE);
    return EndLaunch(ERROR_INSTALL_LOG_FAILURE);
}
