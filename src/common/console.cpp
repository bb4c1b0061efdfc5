#include "common/console.h"

#include <windows.h>

#include "common/bounded.h"
#include "common/launch_log.h"

/* NULL while there is none: no initialised data in the executable. */
static HANDLE g_console;

void OpenConsoleReport(void)
{
    g_console = NULL;
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD type = (output && output != INVALID_HANDLE_VALUE) ? GetFileType(output) : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) {
        g_console = output;
    } else if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        g_console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
        if (g_console == INVALID_HANDLE_VALUE) g_console = NULL;
    } else if (type == FILE_TYPE_CHAR) {
        g_console = output;
    }
}

void ReportLineV(const char *format, va_list args)
{
    char line[LOG_LINE_SIZE];
    vformat_bounded(line, format, args);
    LogLine("%s", line);
    WriteConsoleText(line);
}

void ReportLine(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    ReportLineV(format, args);
    va_end(args);
}

void WriteConsoleText(const char *text)
{
    if (g_console) WriteTextLine(g_console, text);
}
