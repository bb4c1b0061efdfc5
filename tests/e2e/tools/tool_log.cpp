#include "tools/tool_log.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "common/json_line.h"
#include "common/text.h"

/* Appends text to the file at path; several tools may write in turn. */
static int AppendToFile(const char *path, const char *text)
{
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    DWORD length = (DWORD)strlen(text);
    BOOL ok = WriteFile(file, text, length, &written, NULL);
    CloseHandle(file);
    return ok && written == length;
}

/* Builds the log record; JsonLine prints to stdout, so the record is built by hand here. */
static void BuildRecord(JsonLine *line, const char *tool, const char *note)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    JsonBegin(line);
    JsonString(line, "tool", tool);
    JsonString(line, "command_line", GetCommandLineA());
    JsonHex(line, "startup_flags", startup.dwFlags);
    JsonNumber(line, "show_window", startup.wShowWindow);
    JsonBool(line, "uses_show_window", (startup.dwFlags & STARTF_USESHOWWINDOW) != 0);
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    folder[sizeof folder - 1] = '\0';
    JsonString(line, "current_folder", folder);
    char module[MAX_PATH] = "";
    GetModuleFileNameA(NULL, module, sizeof module);
    module[sizeof module - 1] = '\0';
    JsonString(line, "module", module);
    JsonString(line, "note", note);
}

int LogJsonLine(const char *name, const JsonLine *line)
{
    char path[MAX_PATH];
    if (!EnvText(name, path, sizeof path) || line->cut) return 0;
    static char record[sizeof line->text + 4];
    copy_bounded(record, line->text);
    append_bounded(record, "}\n");
    return AppendToFile(path, record);
}

int LogToolStart(const char *tool, const char *note)
{
    static JsonLine line;
    BuildRecord(&line, tool, note);
    return LogJsonLine("E2E_TOOL_LOG", &line);
}

int LogToolExit(const char *tool, unsigned exitCode, const char *note)
{
    static JsonLine line;
    JsonBegin(&line);
    JsonString(&line, "tool", tool);
    JsonString(&line, "event", "exit");
    JsonNumber(&line, "exit_code", exitCode);
    JsonString(&line, "note", note);
    return LogJsonLine("E2E_TOOL_EXIT_LOG", &line);
}

void SleepAsAsked(const char *name)
{
    long milliseconds = EnvNumber(name, 0);
    if (milliseconds > 0) Sleep((DWORD)milliseconds);
}

unsigned ExitCodeAsAsked(const char *name)
{
    return (unsigned)EnvNumber(name, 0);
}
