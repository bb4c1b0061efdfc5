#include "startup/uninstall_mode.h"

#include <string.h>

#include "common/bounded.h"
#include "common/launch_log.h"
#include "common/outcome.h"
#include "common/user_message.h"
#include "install/child_process.h"
#include "install/network_printer.h"
#include "install/published_copies.h"
#include "setupinfo/driver_entries.h"
#include "setupinfo/setup_file.h"
#include "startup/instance_guard.h"
#include "startup/launch_start.h"
#include "startup/version_policy.h"

#define MSG_NOT_ON_PC "The printer driver package is not on this PC."
#define MSG_REMOVE_QUESTION "Remove the %s printer driver package from this PC?"
#define MSG_REMOVE_PRINTER_QUESTION "Remove the printer %s and the %s printer driver package from this PC?"
#define MSG_PRINTER_NOT_REMOVED "Failed to remove the printer %s or its port.\n\n%s"
#define MSG_REMOVED "The printer driver package is removed from this PC."
#define MSG_REMOVED_RESTART MSG_REMOVED "\nRestart the PC to finish."
#define MSG_REMOVE_FAILED "Failed to remove the printer driver package.\n\n%s"

#define REMOVAL_TOOL_NAME "pnputil.exe"
#define FAILURE_SIZE 512

/* What the removals came to: the first failure, in the words its box shows. */
struct Removals {
    int restart;                 /* a removal ended with "removed, restart needed" */
    char failure[FAILURE_SIZE];  /* "oemN.inf: exit code n"; empty while none failed */
};

/* Keeps the first failure: name and what happened. */
static void NoteFailure(Removals *removals, const char *name, const char *what)
{
    if (!removals->failure[0]) format_bounded(removals->failure, "%s: %s", name, what);
}

/* Removes one published copy with "<System32>\pnputil.exe" -d, started and
 * waited for as the staging tool is, hidden and with no window to keep. */
static void RemoveCopy(const char *name, Removals *removals)
{
    char program[MAX_PATH];
    char parameters[MAX_PATH];
    char what[SYSTEM_TEXT_SIZE];
    if (!BuildSystemToolPath(program, REMOVAL_TOOL_NAME) || !format_bounded(parameters, "-d %s", name)) {
        NoteFailure(removals, name, "the removal command does not fit");
        return;
    }
    LogLine("Removal command: \"%s\" %s", program, parameters);
    DWORD code = 0;
    switch (ShellLaunchAndWait(NULL, program, parameters, 0, &code)) {
    case CHILD_NOT_STARTED:
        LogLine(REMOVAL_TOOL_NAME " could not be started (error %lu)", (unsigned long)code);
        ReadSystemText(code, what);
        NoteFailure(removals, name, what);
        return;
    case CHILD_EXIT_UNKNOWN:
        LogLine(REMOVAL_TOOL_NAME " ended; its exit code cannot be read");
        NoteFailure(removals, name, "its exit code cannot be read");
        return;
    case CHILD_EXITED:
        break;
    }
    LogLine(REMOVAL_TOOL_NAME " ended with exit code %lu (0x%08lX)", (unsigned long)code, (unsigned long)code);
    if (code == ERROR_SUCCESS_REBOOT_REQUIRED) removals->restart = 1;
    if (code == ERROR_SUCCESS || code == ERROR_SUCCESS_REBOOT_REQUIRED) return;
    format_bounded(what, "exit code %lu", (unsigned long)code);
    NoteFailure(removals, name, what);
}

/* Window mode asks first, in a question box without owner: there is no frame. */
static int RemovalWanted(const LaunchOptions *options)
{
    if (options->quiet) return 1;
    char question[2 * MAX_PATH + sizeof MSG_REMOVE_PRINTER_QUESTION];
    if (options->printerSwitches) {
        format_bounded(question, MSG_REMOVE_PRINTER_QUESTION, options->printer.name, g_captionText);
    } else {
        format_bounded(question, MSG_REMOVE_QUESTION, g_captionText);
    }
    if (ShowMessage(NULL, question, MB_KIND_QUESTION) == IDYES) return 1;
    SetOutcome(ERROR_INSTALL_USEREXIT, "Nothing is removed");
    return 0;
}

/* The outcome of the copies' removals: its text, kind and exit code. */
struct RemovalOutcome {
    char text[FAILURE_SIZE + sizeof MSG_REMOVE_FAILED];
    UINT kind;
    DWORD code;
};

static void JudgeRemovals(const Removals *removals, RemovalOutcome *outcome)
{
    outcome->kind = MB_KIND_INFORMATION;
    outcome->code = ERROR_SUCCESS;
    if (removals->failure[0]) {
        format_bounded(outcome->text, MSG_REMOVE_FAILED, removals->failure);
        outcome->kind = MB_KIND_ERROR;
        outcome->code = ERROR_INSTALL_FAILURE;
    } else if (removals->restart) {
        copy_bounded(outcome->text, MSG_REMOVED_RESTART);
        outcome->code = ERROR_SUCCESS_REBOOT_REQUIRED;
    } else {
        copy_bounded(outcome->text, MSG_REMOVED);
    }
}

/* Every published copy of the INF is tried, even after one failed.  With
 * /printer, the printer, its port and its driver go first; when either of
 * the first two stays, the whole ends as a failure, once all was tried. */
static void RemovePackage(const LaunchOptions *options)
{
    char inf[MAX_PATH];
    if (!CheckInfToRemove(inf)) return;
    PublishedCopies copies;
    if (!FindPublishedCopies(inf, &copies)) {
        LogLine("The INF folder cannot be read (error %lu)", (unsigned long)GetLastError());
        char text[FAILURE_SIZE + sizeof MSG_REMOVE_FAILED];
        format_bounded(text, MSG_REMOVE_FAILED, "The system's INF folder cannot be read.");
        ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INSTALL_FAILURE);
        return;
    }
    for (int i = 0; i < copies.count; i++) LogLine("Published copy: %s", copies.names[i]);
    int printer = options->printerSwitches != 0;
    if (copies.count == 0 && !printer) {
        LogLine("Nothing of %s is published on this PC", inf);
        ReportOutcome(NULL, MSG_NOT_ON_PC, MB_KIND_INFORMATION, ERROR_SUCCESS);
        return;
    }
    if (!RemovalWanted(options)) return;
    int printerGone = !printer || RemoveNetworkPrinter(options->printer.name);
    Removals removals = {};
    for (int i = 0; i < copies.count; i++) RemoveCopy(copies.names[i], &removals);
    if (removals.failure[0]) LogPrintersUsingPackage(inf);
    LogOtherVersions(inf, &copies);
    RemovalOutcome outcome;
    JudgeRemovals(&removals, &outcome);
    if (copies.count == 0) {
        LogLine("Nothing of %s is published on this PC", inf);
        copy_bounded(outcome.text, MSG_NOT_ON_PC);
    }
    if (!printerGone) {
        char text[MAX_PATH + sizeof outcome.text + sizeof MSG_PRINTER_NOT_REMOVED];
        format_bounded(text, MSG_PRINTER_NOT_REMOVED, options->printer.name, outcome.text);
        ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INSTALL_FAILURE);
        return;
    }
    ReportOutcome(NULL, outcome.text, outcome.kind, outcome.code);
}

int RunUninstallMode(const LaunchOptions *options)
{
    OSVERSIONINFOEXA version;
    if (PassStartChecks(&version, 1)) {
        HANDLE guard = GuardAndCheckSetupFile(&version);
        if (guard) {
            if (PassVersionPolicy(NULL)) RemovePackage(options);
            DropInstanceGuard(guard);
        }
    }
    return EndWithOutcome(ExitCodeMeaning(RecordedOutcome(), 1));
}
