/* Starting system tools as child processes and waiting for them to end. */
#ifndef INSTALL_CHILD_PROCESS_H
#define INSTALL_CHILD_PROCESS_H

#include <windows.h>

#define CHILD_POLL_INTERVAL 100  /* milliseconds between looks at a child without a window */

/* How a shell launch ended. */
enum ChildOutcome {
    CHILD_EXITED,        /* the child ended; its exit code is known */
    CHILD_NOT_STARTED,   /* the launch failed; the error code is known */
    CHILD_EXIT_UNKNOWN   /* the child was started, but its exit code cannot be read */
};

/* Writes the full path of a tool of the system folder that the system's own
 * programs use: System32, or under WOW64 the 64-bit System32 through its
 * Sysnative alias.  Returns 0 when the Windows folder cannot be read or the
 * whole does not fit. */
int BuildSystemToolPath(char (&path)[MAX_PATH], const char *tool);

/* Opens file with parameters through the shell, hidden and owned by owner
 * (connecting a network drive first when networkDrive is set), and waits for
 * it, the thread's windows answering their messages meanwhile.  Without an
 * owner nobody is at the screen: file is started hidden with CreateProcessA,
 * which shows no box either, and polled.  *code receives the exit
 * code (CHILD_EXITED) or the error code of the failed launch (CHILD_NOT_STARTED). */
ChildOutcome ShellLaunchAndWait(HWND owner, const char *file, const char *parameters, int networkDrive,
                                DWORD *code);

/* Runs program (a full path, named apart from the command line so that no
 * space in it can make the system run another program) with commandLine
 * (CreateProcessA may write to it), its window shown as the child chooses,
 * and waits for it, the thread's windows answering meanwhile (no window:
 * polled).
 * Returns 1 when it started and ended with exit code 0, 0 otherwise
 * (not started, another exit code, or an exit code that cannot be read). */
int RunAndWait(HWND window, const char *program, char *commandLine);

/* Posts again a quit message that arrived during a wait with a window, once
 * the caller has told the outcome. */
void RepostKeptQuit(void);

#endif
