#include "startup/run_log.h"

#include "common/bounded.h"
#include "common/launch_log.h"
#include "common/outcome.h"
#include "common/system_library.h"
#include "common/system_probes.h"
#include "common/user_message.h"
#include "setupinfo/setup_file.h"

typedef BOOL(WINAPI *GetUserNameFunction)(LPSTR name, LPDWORD size);
typedef BOOL(WINAPI *OpenProcessTokenFunction)(HANDLE process, DWORD access, PHANDLE token);
typedef BOOL(WINAPI *GetTokenInformationFunction)(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                                  DWORD size, PDWORD needed);

#define MSG_LOG_FAILED "The log file cannot be opened (error %lu):\n%s\n%s\n\nExit the program."

/* The /log file that could not be opened: its path as expanded, and why. */
static char g_expandedLog[MAX_PATH];
static DWORD g_openError;

/* The folder the launch takes its package from, as it will choose it. */
static void LogLaunchFolder(const LaunchOptions *options)
{
    LaunchFolderChoice choice;
    ChooseLaunchFolder(ExitCodeIsOutcome(options), &choice);
    LogLine("Launch folder: %s%s", choice.folder[0] ? choice.folder : "cannot be read", choice.note);
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

/* Windows 8.1 and later tell the version query 6.2; support needs the build. */
static void LogRealVersion(void)
{
    DWORD major, minor, build;
    if (QueryRealVersion(&major, &minor, &build)) {
        LogLine("Real Windows version: %lu.%lu.%lu", (unsigned long)major, (unsigned long)minor, (unsigned long)build);
    } else {
        LogLine("Real Windows version: cannot be read");
    }
}

/* The computer and the account the launcher runs as (SYSTEM under most
 * deployment tools). */
static void LogComputerAndAccount(void)
{
    char name[MAX_PATH] = "";
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) copy_bounded(name, "(cannot be read)");
    LogLine("Computer: %s", name);
    GetUserNameFunction getUserName = (GetUserNameFunction)FindSystemFunction("advapi32.dll", "GetUserNameA");
    size = sizeof name;
    if (!getUserName || !getUserName(name, &size)) copy_bounded(name, "(cannot be read)");
    LogLine("Account: %s", name);
}

/* Whether the process token is elevated: yes, no, or unknown where Windows
 * cannot tell (TokenElevation is Vista's). */
static const char *ElevationName(void)
{
    OpenProcessTokenFunction openToken =
        (OpenProcessTokenFunction)FindSystemFunction("advapi32.dll", "OpenProcessToken");
    GetTokenInformationFunction getInformation =
        (GetTokenInformationFunction)FindSystemFunction("advapi32.dll", "GetTokenInformation");
    HANDLE token = NULL;
    if (!openToken || !getInformation || !openToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "unknown";
    TOKEN_ELEVATION elevation;
    DWORD needed = 0;
    int known = getInformation(token, TokenElevation, &elevation, sizeof elevation, &needed);
    CloseHandle(token);
    if (!known) return "unknown";
    return elevation.TokenIsElevated ? "yes" : "no";
}

static void WriteHeader(const LaunchOptions *options)
{
    LogLine("%s %s", PRODUCT_TITLE, VERSION_TEXT);
    LogLine("Command line: %s", GetCommandLineA());
    char program[MAX_PATH] = "";
    GetModuleFileNameA(NULL, program, sizeof program);
    program[sizeof program - 1] = '\0';
    LogLine("Program: %s", program);
    LogLaunchFolder(options);
    LogWindowsVersion();
    LogRealVersion();
    LogLine("WOW64: %s", IsWow64() ? "yes" : "no");
    LogComputerAndAccount();
    LogLine("Elevated: %s", ElevationName());
    LogLine("Mode: %s", ModeName(options));
}

/* "%TEMP%\\setup.log" as the administrator meant it ("ExpandEnvironmentStrings");
 * a relative path is the current folder's, as CreateFile takes it. */
static int OpenLogAsGiven(const char *path)
{
    DWORD length = ExpandEnvironmentStringsA(path, g_expandedLog, sizeof g_expandedLog);
    if (length == 0 || length > sizeof g_expandedLog) {
        copy_bounded(g_expandedLog, path);
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    return OpenLogFile(g_expandedLog);
}

int StartRunLog(const LaunchOptions *options)
{
    if (options->logPath[0]) {
        if (!OpenLogAsGiven(options->logPath)) {
            g_openError = GetLastError();
            return 0;
        }
    } else if ((options->quiet && options->mode != MODE_CHECK) || options->mode == MODE_UNINSTALL) {
        CreateTempLog();
    }
    if (LogIsOpen()) WriteHeader(options);
    return 1;
}

/* The run still ends with nothing changed, as msiexec does, but the trace
 * goes to a new temp log, which names the path given, as expanded, and why;
 * the package check has its console for that. */
int RefuseLogFile(const LaunchOptions *options)
{
    char why[SYSTEM_TEXT_SIZE];
    ReadSystemText(g_openError, why);
    if (options->mode != MODE_CHECK && CreateTempLog()) {
        WriteHeader(options);
        LogLine("The log file cannot be opened: %s (%s): error %lu, %s", options->logPath,
                g_expandedLog, (unsigned long)g_openError, why);
    }
    char text[MAX_PATH + SYSTEM_TEXT_SIZE + sizeof MSG_LOG_FAILED + 16];
    format_bounded(text, MSG_LOG_FAILED, (unsigned long)g_openError, g_expandedLog, why);
    ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INSTALL_LOG_FAILURE);
    return EndRun(options, ERROR_INSTALL_LOG_FAILURE);
}

int EndRun(const LaunchOptions *options, int windowCode)
{
    return ExitCodeIsOutcome(options) ? EndWithOutcome(NULL) : EndWindowLaunch(windowCode);
}
