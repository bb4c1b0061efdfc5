/* How a launch ends: its outcome, the exit code that tells it in quiet mode
 * (deployment tools act on it), and the last lines of its log. */
#ifndef DEPLOY_OUTCOME_H
#define DEPLOY_OUTCOME_H

#include <windows.h>

/* One row of the exit-code table. */
struct ExitCodeRow {
    DWORD code;
    const char *meaning;
};

extern const ExitCodeRow EXIT_CODES[];
extern const size_t EXIT_CODE_COUNT;

/* Records code as the launch's outcome, then tells text as ShowMessage does
 * (a box, or in quiet mode the log only).  Returns the button pressed. */
int ReportOutcome(HWND owner, const char *text, UINT kind, DWORD code);

/* Records code as the outcome of an end that shows no message; why, when
 * given, goes to the log. */
void SetOutcome(DWORD code, const char *why);

/* What one of the launcher's exit codes means. */
const char *ExitCodeMeaning(DWORD code);

/* Ends the launch: logs the exit code and its meaning and closes the log.
 * Returns the exit code: the outcome in quiet mode, windowCode otherwise.
 * Until an outcome is recorded it is ERROR_INSTALL_FAILURE, so that no end
 * left untold reads as a success. */
int EndLaunch(int windowCode);

#endif
