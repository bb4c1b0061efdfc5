/* What the stand-in system tools share: recording how they were started,
 * sleeping and exiting as the test asks through environment variables. */
#ifndef E2E_TOOLS_TOOL_LOG_H
#define E2E_TOOLS_TOOL_LOG_H

#include "common/json_line.h"

/* Appends one JSON line to the file named by E2E_TOOL_LOG (nothing when unset):
 * the tool's name, its command line, STARTUPINFO dwFlags and wShowWindow,
 * its current folder, its own path, and note (may be empty).  Returns 1 when the line was written. */
int LogToolStart(const char *tool, const char *note);

/* Appends {"tool":..,"event":"exit","exit_code":N,"note":..} to the file named by
 * E2E_TOOL_EXIT_LOG (nothing when unset), just before the tool exits: proof
 * for a test that its parent waited for it; note says what the tool did. */
int LogToolExit(const char *tool, unsigned exitCode, const char *note);

/* Appends line (begun with JsonBegin and filled, not yet closed) as one
 * record to the file named by environment variable name (nothing when unset
 * or when the line did not fit).  Returns 1 when the line was written. */
int LogJsonLine(const char *name, const JsonLine *line);

/* Sleeps for the milliseconds in environment variable name (none when unset). */
void SleepAsAsked(const char *name);

/* The exit code in environment variable name; 0 when unset. */
unsigned ExitCodeAsAsked(const char *name);

#endif
