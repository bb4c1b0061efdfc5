/* Window mode: what the launcher does with no arguments. */
#ifndef STARTUP_WINDOW_MODE_H
#define STARTUP_WINDOW_MODE_H

#include <windows.h>

/* The start-up checks, the frame with its page, the notice and the version
 * policy, then the message loop until the page's OK has run the installation
 * or the user has quit.  Returns the exit code: 0 on every early end, else the
 * quit message's. */
int RunWindowMode(HINSTANCE instance, HINSTANCE previous, int showCommand);

/* The window stage, once the start-up checks have passed: the frame with its
 * page, the notice over it, then the version policy.  Returns 1 when the
 * message loop may run, 0 when the launch must end (any message shown). */
int OpenWindowStage(HINSTANCE instance, int showCommand);

#endif
