/* Starting system tools as child processes and waiting for them to end. */
#ifndef INSTALL_CHILD_PROCESS_H
#define INSTALL_CHILD_PROCESS_H

#include <windows.h>

#define CHILD_POLL_INTERVAL 100  /* milliseconds between looks at a running child */

/* How a shell launch ended. */
enum ChildOutcome {
    CHILD_EXITED,        /* the child ended; its exit code is known */
    CHILD_NOT_STARTED,   /* the launch failed; the error code is known */
    CHILD_EXIT_UNKNOWN   /* the child was started, but its exit code cannot be read */
};

/* Opens file with parameters through the shell, hidden and owned by owner
 * (connecting a network drive first when networkDrive is set), and waits for
 * it, with file-system redirection off under WOW64.  *code receives the exit
 * code (CHILD_EXITED) or the error code of the failed launch (CHILD_NOT_STARTED). */
ChildOutcome ShellLaunchAndWait(HWND owner, const char *file, const char *parameters, int networkDrive,
                                DWORD *code);

/* Runs program (a full path, named apart from the command line so that no
 * space in it can make the system run another program) with commandLine
 * (CreateProcessA may write to it), its window shown as the child chooses,
 * and waits for it, with redirection off under WOW64.
 * Returns 1 when it started and ended with exit code 0, 0 otherwise
 * (not started, another exit code, or an exit code that cannot be read). */
int RunAndWait(const char *program, char *commandLine);

#endif
