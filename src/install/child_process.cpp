#include "install/child_process.h"

#include <string.h>

#include "common/bounded.h"
#include "common/shell_functions.h"
#include "common/system_library.h"
#include "common/system_probes.h"

int BuildSystemToolPath(char (&path)[MAX_PATH], const char *tool)
{
    /* "32-bit applications can access the native system directory by
     * substituting %windir%\Sysnative for %windir%\System32" (File System
     * Redirector).  Both launches name their tool so rather than turn
     * redirection off: Wow64DisableWow64FsRedirection's documentation allows
     * that only just around file calls such as CreateFile, as DLL loads fail
     * meanwhile, and ShellExecuteExA and CreateProcessA load DLLs of their own. */
    return BuildWindowsPath(path, IsWow64() ? "\\Sysnative\\" : "\\SYSTEM32\\", tool);
}

/* No window: looks at the child every CHILD_POLL_INTERVAL ms, waking as soon
 * as it ends.  Returns 1 with its exit code, 0 when the code cannot be read
 * (so no unreadable child keeps us waiting). */
static int PollForExitCode(HANDLE process, DWORD *exitCode)
{
    for (;;) {
        WaitForSingleObject(process, CHILD_POLL_INTERVAL);
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

/* A quit message that came during a wait: the loop it belongs to gets it
 * again from RepostKeptQuit. */
static int g_quitKept;
static WPARAM g_quitCode;

/* Dispatches every message waiting in the thread's queue; a quit message is kept. */
static void DispatchWaitingMessages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            g_quitKept = 1;
            g_quitCode = msg.wParam;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

/* With a window: the thread waits on the child's handle and its own queue
 * and dispatches what comes (painting, timers, messages other programs
 * send), as "WaitForSingleObject" asks of a thread that has windows.  The
 * window stays enabled: when the child's own window closes, Windows activates
 * another window and skips a disabled one.  MWMO_INPUTAVAILABLE: "the
 * function returns if input exists for the queue, even if the input has been
 * seen (but not removed)" (MsgWaitForMultipleObjectsEx), as by a box or the
 * shell before the wait.  Returns 1 once the child has ended, 0 when the wait
 * fails. */
static int WaitDispatching(HANDLE process)
{
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) return 1;
        if (woke != WAIT_OBJECT_0 + 1) return 0;
        DispatchWaitingMessages();
    }
}

/* Waits for the child to end: with window kept alive, or polling without one.
 * Returns 1 with its exit code, 0 when it cannot be had. */
static int WaitForExitCode(HWND window, HANDLE process, DWORD *exitCode)
{
    if (!window) return PollForExitCode(process, exitCode);
    return WaitDispatching(process) && GetExitCodeProcess(process, exitCode);
}

void RepostKeptQuit(void)
{
    if (!g_quitKept) return;
    g_quitKept = 0;
    PostQuitMessage((int)g_quitCode);
}

/* Starts program with commandLine (CreateProcessA may write to it), its
 * window hidden when asked, else shown as the child chooses.  Returns 1 with
 * the process handle. */
static int StartProcess(const char *program, char *commandLine, int hidden, HANDLE *process)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (hidden) {
        /* "the appearance of the main window for a process at creation time" (STARTUPINFOA):
         * a console tool's new console window as well as a program's first window. */
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION started;
    if (!CreateProcessA(program, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started)) return 0;
    CloseHandle(started.hThread);
    *process = started.hProcess;
    return 1;
}

/* Nobody at the screen: the tool started hidden, as the shell starts it, but
 * by CreateProcessA, which shows no box of its own and loads neither the
 * shell nor COM into a launch that only waits for one tool. */
static ChildOutcome StartHiddenAndWait(const char *file, const char *parameters, DWORD *code)
{
    char commandLine[3 * MAX_PATH];
    HANDLE process;
    if (!format_bounded(commandLine, "\"%s\" %s", file, parameters)) {
        *code = ERROR_FILENAME_EXCED_RANGE;
        return CHILD_NOT_STARTED;
    }
    if (!StartProcess(file, commandLine, 1, &process)) {
        *code = GetLastError();
        return CHILD_NOT_STARTED;
    }
    ChildOutcome outcome = PollForExitCode(process, code) ? CHILD_EXITED : CHILD_EXIT_UNKNOWN;
    CloseHandle(process);
    return outcome;
}

ChildOutcome ShellLaunchAndWait(HWND owner, const char *file, const char *parameters, int networkDrive,
                                DWORD *code)
{
    if (!owner) return StartHiddenAndWait(file, parameters, code);
    SHELLEXECUTEINFOA launch;
    memset(&launch, 0, sizeof launch);
    launch.cbSize = sizeof launch;
    launch.fMask = SEE_MASK_NOCLOSEPROCESS | (networkDrive ? SEE_MASK_CONNECTNETDRV : 0);
    launch.hwnd = owner;
    launch.lpVerb = "open";
    launch.lpFile = file;
    launch.lpParameters = parameters;
    launch.lpDirectory = NULL;
    launch.nShow = SW_HIDE;

    int com = StartComApartment();
    BOOL launched = SystemShellExecuteEx(&launch);
    DWORD error = GetLastError();
    /* Released before the wait: an apartment gives the thread a hidden
     * window, which a thread waiting in WaitForSingleObject leaves unanswered. */
    if (com) StopComApartment();
    if (!launched) {
        *code = error;
        return CHILD_NOT_STARTED;
    }
    /* A launch may succeed without a process handle (the shell handed the
     * file to a running program): nothing to wait for, no code to read. */
    ChildOutcome outcome = CHILD_EXIT_UNKNOWN;
    if (launch.hProcess) {
        if (WaitForExitCode(owner, launch.hProcess, code)) outcome = CHILD_EXITED;
        CloseHandle(launch.hProcess);
    }
    return outcome;
}

int RunAndWait(HWND window, const char *program, char *commandLine)
{
    HANDLE process;
    if (!StartProcess(program, commandLine, 0, &process)) return 0;
    DWORD exitCode = 0;
    int ended = WaitForExitCode(window, process, &exitCode);
    CloseHandle(process);
    return ended && exitCode == 0 ? 1 : 0;
}
