/* What the stand-in system tools share: recording how they were started,
 * sleeping and exiting as the test asks through environment variables. */
#ifndef E2E_TOOLS_TOOL_LOG_H
#define E2E_TOOLS_TOOL_LOG_H

/* Appends one JSON line to the file named by E2E_TOOL_LOG (nothing when unset):
 * the tool's name, its command line, STARTUPINFO dwFlags and wShowWindow,
 * its current folder, its own path, and note (may be empty).  Returns 1 when the line was written. */
int LogToolStart(const char *tool, const char *note);

/* Appends {"tool":..,"event":"exit","exit_code":N,"note":..} to the file named by
 * E2E_TOOL_EXIT_LOG (nothing when unset), just before the tool exits: proof
 * for a test that its parent waited for it; note says what the tool did. */
int LogToolExit(const char *tool, unsigned exitCode, const char *note);

/* Sleeps for the milliseconds in environment variable name (none when unset). */
void SleepAsAsked(const char *name);

/* The exit code in environment variable name; 0 when unset. */
unsigned ExitCodeAsAsked(const char *name);

#endif
