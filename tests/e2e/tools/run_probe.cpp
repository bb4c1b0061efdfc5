/* Starts a program as a Windows parent would and reports how it ended:
 *
 *   run_probe.exe SHOW TIMEOUT_MS COMMAND LINE...
 *
 * SHOW is the wShowWindow handed over with STARTF_USESHOWWINDOW (-1: no show
 * state at all).  Prints {"event":"exited","exit_code":N,"milliseconds":M} with
 * the full 32-bit exit code, which wine64's own exit status cuts to 8 bits, or
 * {"event":"timeout"} after killing the program. */
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "common/json_line.h"
#include "common/text.h"

/* Joins argv[first..] with spaces into commandLine. */
static void JoinArguments(int argc, char **argv, int first, char (&commandLine)[4096])
{
    copy_bounded(commandLine, "");
    for (int i = first; i < argc; ++i) {
        if (i > first) append_bounded(commandLine, " ");
        append_bounded(commandLine, argv[i]);
    }
}

static void ReportEnd(const char *event, DWORD exitCode, DWORD milliseconds, DWORD error)
{
    static JsonLine line;
    JsonBegin(&line);
    JsonString(&line, "event", event);
    JsonNumber(&line, "exit_code", exitCode);
    JsonNumber(&line, "milliseconds", milliseconds);
    JsonNumber(&line, "error", error);
    JsonEnd(&line);
}

int main(int argc, char **argv)
{
    if (argc < 4) return 1;
    long show = strtol(argv[1], NULL, 10);
    DWORD timeout = (DWORD)strtoul(argv[2], NULL, 10);
    static char commandLine[4096];
    JoinArguments(argc, argv, 3, commandLine);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (show >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = (WORD)show;
    }
    PROCESS_INFORMATION process;
    DWORD start = GetTickCount();
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        ReportEnd("not_started", 0, 0, GetLastError());
        return 2;
    }
    DWORD wait = WaitForSingleObject(process.hProcess, timeout);
    DWORD exitCode = 0;
    if (wait == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
        ReportEnd("exited", exitCode, GetTickCount() - start, 0);
    } else {
        TerminateProcess(process.hProcess, 1);
        ReportEnd("timeout", 0, GetTickCount() - start, 0);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return wait == WAIT_OBJECT_0 ? 0 : 3;
}
