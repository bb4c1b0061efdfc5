/* How a launch ends: its outcome, the exit code that tells it where the exit
 * code is the outcome (deployment tools act on it), and the log's last line. */
#ifndef COMMON_OUTCOME_H
#define COMMON_OUTCOME_H

#include <windows.h>

/* One row of the exit-code table: what the code means for an installation,
 * and for a removal where that differs (NULL: the same; an empty meaning:
 * not a code of that mode). */
struct ExitCodeRow {
    DWORD code;
    const char *meaning;
    const char *removalMeaning;
};

extern const ExitCodeRow EXIT_CODES[];
extern const size_t EXIT_CODE_COUNT;

/* Records code as the launch's outcome, then tells text as ShowMessage does.
 * Returns the button pressed. */
int ReportOutcome(HWND owner, const char *text, UINT kind, DWORD code);

/* Records code as the outcome of an end that shows no message; why, when
 * given, goes to the log. */
void SetOutcome(DWORD code, const char *why);

/* What one of the launcher's exit codes means, for a removal or not. */
const char *ExitCodeMeaning(DWORD code, int removal);

/* The outcome recorded so far. */
DWORD RecordedOutcome(void);

/* Ends a launch whose exit code is its outcome: logs the code and its
 * meaning (meaning NULL: the table's), closes the log and returns the code.
 * Until an outcome is recorded it is ERROR_INSTALL_FAILURE, so that no end
 * left untold reads as a success. */
int EndWithOutcome(const char *meaning);

/* Ends a window-mode launch with exitCode, whatever the outcome. */
int EndWindowLaunch(int exitCode);

#endif
