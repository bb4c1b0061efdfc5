#include "install/child_process.h"

#include <string.h>

#include "common/shell_functions.h"
#include "deploy/command_line.h"
#include "startup/system_probes.h"

/* One interval of the wait.  The window's thread sleeps it whole, its windows
 * frozen; quiet mode has no window and wakes as soon as the child ends. */
static void WaitOneInterval(HANDLE process)
{
    if (QuietMode()) WaitForSingleObject(process, CHILD_POLL_INTERVAL);
    else Sleep(CHILD_POLL_INTERVAL);
}

/* Looks at the child every CHILD_POLL_INTERVAL ms until it has ended; the
 * first look comes after the first interval.  Returns 1 with its exit code,
 * 0 when the code cannot be read (so no unreadable child keeps us waiting). */
static int WaitForExitCode(HANDLE process, DWORD *exitCode)
{
    for (;;) {
        WaitOneInterval(process);
        if (!GetExitCodeProcess(process, exitCode)) return 0;
        if (*exitCode != STILL_ACTIVE) return 1;
        /* STILL_ACTIVE is also a code a child may really exit with: only the
         * handle tells an ended child from a running one.  Read again once
         * it has ended, as it may have ended after the first read. */
        DWORD state = WaitForSingleObject(process, 0);
        if (state == WAIT_OBJECT_0) return GetExitCodeProcess(process, exitCode) ? 1 : 0;
        if (state != WAIT_TIMEOUT) return 0;
    }
}

static void DisableRedirectionUnderWow64(void)
{
    if (IsWow64()) DisableRedirection();
}

static void RevertRedirectionUnderWow64(void)
{
    if (IsWow64()) RevertRedirection();
}

ChildOutcome ShellLaunchAndWait(HWND owner, const char *file, const char *parameters, int networkDrive,
                                DWORD *code)
{
    SHELLEXECUTEINFOA launch;
    memset(&launch, 0, sizeof launch);
    launch.cbSize = sizeof launch;
    launch.fMask = SEE_MASK_NOCLOSEPROCESS | (networkDrive ? SEE_MASK_CONNECTNETDRV : 0);
    /* Quiet mode shows no window at all, not even the shell's own error box. */
    if (QuietMode()) launch.fMask |= SEE_MASK_FLAG_NO_UI;
    launch.hwnd = owner;
    launch.lpVerb = "open";
    launch.lpFile = file;
    launch.lpParameters = parameters;
    launch.lpDirectory = NULL;
    launch.nShow = SW_HIDE;

    DisableRedirectionUnderWow64();
    if (!SystemShellExecuteEx(&launch)) {
        *code = GetLastError();
        RevertRedirectionUnderWow64();
        return CHILD_NOT_STARTED;
    }
    /* A launch may succeed without a process handle (the shell handed the
     * file to a running program): nothing to wait for, no code to read. */
    int ended = launch.hProcess != NULL && WaitForExitCode(launch.hProcess, code);
    RevertRedirectionUnderWow64();
    if (launch.hProcess) CloseHandle(launch.hProcess);
    return ended ? CHILD_EXITED : CHILD_EXIT_UNKNOWN;
}

int RunAndWait(const char *program, char *commandLine)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);

    DisableRedirectionUnderWow64();
    if (!CreateProcessA(program, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        RevertRedirectionUnderWow64();
        return 0;
    }
    CloseHandle(process.hThread);
    DWORD exitCode = 0;
    int ended = WaitForExitCode(process.hProcess, &exitCode);
    RevertRedirectionUnderWow64();
    CloseHandle(process.hProcess);
    return ended && exitCode == 0 ? 1 : 0;
}
