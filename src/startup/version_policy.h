/* Which Windows versions the launcher serves. */
#ifndef STARTUP_VERSION_POLICY_H
#define STARTUP_VERSION_POLICY_H

#include <windows.h>

#define MSG_DIFFERENT_SYSTEM "Different operating system.\nExit the program."
#define MSG_MISSING_SYSTEM "Missing Windows operating system.\nExit the program."

/* Returns NULL when the version is accepted, else the refusal text to show. */
const char *VersionRefusal(DWORD platform, DWORD major, DWORD minor);

/* Applies the policy to version: returns 1 when it is accepted, else 0 after
 * showing the refusal in a warning box owned by owner. */
int AcceptVersion(HWND owner, const OSVERSIONINFOEXA *version);

/* Queries the version afresh and applies the policy to it, as a launch with
 * no window stage does: returns 1 when it is accepted, else 0 with the
 * outcome recorded (a refusal shown as AcceptVersion shows it). */
int PassVersionPolicy(HWND owner);

#endif
