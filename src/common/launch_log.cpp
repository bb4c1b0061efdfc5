#include "common/launch_log.h"

#include <string.h>

#include "common/bounded.h"
#include "common/system_library.h"

#include "brand.h"

#define TEMP_LOG_STEM BRAND_LOG_NAME "_"

/* NULL while no log is open: no initialised data in the executable. */
static HANDLE g_log;

static int KeepLog(HANDLE file)
{
    if (file == INVALID_HANDLE_VALUE) return 0;
    g_log = file;
    return 1;
}

int OpenLogFile(const char *path)
{
    /* Several launches may append to one file at a time. */
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    return KeepLog(file);
}

int BuildTempLogName(const char *folder, const SYSTEMTIME *date, int number, char (&path)[MAX_PATH])
{
    return format_bounded(path, "%s" TEMP_LOG_STEM "%04u%02u%02u_%03d.log", folder, (unsigned)date->wYear,
                          (unsigned)date->wMonth, (unsigned)date->wDay, number);
}

typedef DWORD(WINAPI *GetTempPathFunction)(DWORD size, LPSTR buffer);

/* "When calling this function from a process running as SYSTEM it will
 * return the path C:\Windows\SystemTemp, which is inaccessible to
 * non-SYSTEM processes" (GetTempPath2A); GetTempPathA gives C:\Windows\Temp,
 * where any user may create the day's names first.  Windows 11 and updated
 * Windows 10 have it.  Returns 0 where kernel32 has no GetTempPath2A. */
static DWORD ReadSystemTempFolder(char (&folder)[MAX_PATH])
{
    GetTempPathFunction getTempPath2 = (GetTempPathFunction)FindSystemFunction("kernel32.dll", "GetTempPath2A");
    return getTempPath2 ? getTempPath2(sizeof folder, folder) : 0;
}

enum TempLogResult { TEMP_LOG_CREATED, TEMP_LOG_FOLDER_MISSING, TEMP_LOG_FAILED };

/* Creates the day's next log in folder, never opening one that exists. */
static TempLogResult CreateTempLogIn(const char *folder)
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    char path[MAX_PATH];
    for (int number = 1; number <= TEMP_LOG_NUMBERS; number++) {
        if (!BuildTempLogName(folder, &today, number, path)) return TEMP_LOG_FAILED;
        HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  NULL);
        if (KeepLog(file)) return TEMP_LOG_CREATED;
        DWORD error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND) return TEMP_LOG_FOLDER_MISSING;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return TEMP_LOG_FAILED;
    }
    return TEMP_LOG_FAILED;
}

int CreateTempLog(void)
{
    char folder[MAX_PATH];
    DWORD length = ReadSystemTempFolder(folder);
    /* A Windows 10 that got GetTempPath2A by an update may lack its folder. */
    if (length > 0 && length < sizeof folder && CreateTempLogIn(folder) != TEMP_LOG_FOLDER_MISSING)
        return LogIsOpen();
    length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) return 0;
    return CreateTempLogIn(folder) == TEMP_LOG_CREATED;
}

int LogIsOpen(void) { return g_log != NULL; }

void CloseLog(void)
{
    if (!g_log) return;
    CloseHandle(g_log);
    g_log = NULL;
}

void FormatLogTime(const SYSTEMTIME *time, char (&text)[LOG_TIME_SIZE])
{
    format_bounded(text, "%04u/%02u/%02u %02u:%02u:%02u.%03u", (unsigned)time->wYear, (unsigned)time->wMonth,
                   (unsigned)time->wDay, (unsigned)time->wHour, (unsigned)time->wMinute, (unsigned)time->wSecond,
                   (unsigned)time->wMilliseconds);
}

void WriteTextLine(HANDLE file, const char *text)
{
    char line[LOG_LINE_SIZE];
    copy_bounded(line, text);
    size_t length = strlen(line);
    if (length > sizeof line - 2) length = sizeof line - 2;
    memcpy(line + length, "\r\n", 2);
    DWORD written;
    WriteFile(file, line, (DWORD)(length + 2), &written, NULL);
}

/* The time and the text, on a line of their own. */
static void WriteLine(const char *text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[LOG_TIME_SIZE];
    FormatLogTime(&now, stamp);
    char line[LOG_LINE_SIZE];
    /* The process id tells apart the lines of runs sharing one /log file. */
    format_bounded(line, "%s [%lu] %s", stamp, (unsigned long)GetCurrentProcessId(), text);
    WriteTextLine(g_log, line);
}

void LogLineV(const char *format, va_list args)
{
    if (!g_log) return;
    char text[LOG_LINE_SIZE];
    vformat_bounded(text, format, args);
    WriteLine(text);
}

void LogLine(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    LogLineV(format, args);
    va_end(args);
}

void LogText(const char *label, const char *text)
{
    if (!g_log) return;
    char line[LOG_LINE_SIZE];
    copy_bounded(line, label);
    char piece[2] = "";
    /* The system's own texts end with CR LF, which the log leaves off. */
    size_t length = strlen(text);
    while (length >= 2 && text[length - 2] == '\r' && text[length - 1] == '\n') length -= 2;
    for (const char *p = text; p < text + length; p++) {
        if (*p == '\n' || *p == '\r') {
            append_bounded(line, *p == '\n' ? "\\n" : "\\r");
            continue;
        }
        piece[0] = *p;
        append_bounded(line, piece);
    }
    WriteLine(line);
}
