#include "install/install_flow.h"

#include "common/bounded.h"
#include "common/launch_folder.h"
#include "common/launch_log.h"
#include "common/outcome.h"
#include "common/shell_functions.h"
#include "common/system_library.h"
#include "common/user_message.h"
#include "install/child_process.h"
#include "install/network_printer.h"
#include "install/printer_count.h"
#include "install/protected_print.h"
#include "install/published_copies.h"
#include "setupinfo/driver_entries.h"

#define MSG_NETWORK_NOTICE                                                                  \
    "\"Use a network port\" is selected.\n"                                                 \
    "Use the Add Printer Wizard to set up the printer driver.\n"                            \
    "Select the port in the \"Printer selection\" of the installation wizard.\n"            \
    "When the port is not ready, select the temporary port like \"LPT1:\".\n"
#define MSG_ABORTED "The printer driver installation was aborted. "
#define MSG_READY                                                                           \
    "Printer driver is ready for installation.\n"                                           \
    "Connect the printer to your PC and turn on the printer power.\n\nClick the OK button."
#define MSG_READY_RESTART                                                                   \
    "Printer driver is ready for installation.\n"                                           \
    "Restart the PC, then connect the printer to your PC and turn on the printer power.\n\n" \
    "Click the OK button."
#define MSG_COMPLETED                                                                       \
    "Printer driver installation has been completed.\n"                                     \
    "When the temporary port like \"LPT1:\" is selected, change the port setting of "      \
    "property of Printer later.\n\nClick the OK button."
#define MSG_SYSTEM_ERROR "A system error occurred.\nExit the program."
#define MSG_PROTECTED_PRINT                                                                 \
    "Windows protected print mode is on.\nThis PC uses only the printer drivers that come " \
    "with Windows.\n\nExit the program."
#define MSG_PRINTER_READY "The printer \"%s\" is ready."
#define MSG_PRINTER_FAILED "The printer \"%s\" could not be set up.\n%s"
#define MSG_LAUNCH_FAILED "The printer driver installer could not be started (error %d).\nExit the program."

#define STAGING_TOOL_NAME "pnputil.exe"
#define WIZARD_TOOL_NAME "rundll32.exe"
#define WIZARD_COMMAND "rundll32.exe printui.dll,PrintUIEntry /il"
#define SETUP_LOG_FOLDER "\\INF\\"
#define SETUP_LOG_NAME "setupapi.dev.log"

#define TRACE_SIZE 256

/* Quiet mode has no page, and never the network option. */
static int NetworkPortChosen(HWND page)
{
    return page != NULL && IsDlgButtonChecked(page, IDC_NETWORK_PORT) == BST_CHECKED;
}

/* The staging tool's own codes for "staged, restart needed" ("PnPUtil
 * Return Values": the package is in the store). */
static int StagedWithRestart(DWORD code)
{
    return code == ERROR_SUCCESS_REBOOT_REQUIRED || code == ERROR_SUCCESS_REBOOT_INITIATED;
}

static void LogExitCode(const char *tool, DWORD code)
{
    LogLine("%s ended with exit code %lu (0x%08lX)", tool, (unsigned long)code, (unsigned long)code);
}

/* pnputil writes why it failed to the system's driver setup log, in the INF
 * folder ("SetupAPI Text Logs"; "PnPUtil Return Values"). */
static void LogDriverSetupLog(void)
{
    char path[MAX_PATH];
    if (!BuildWindowsPath(path, SETUP_LOG_FOLDER, SETUP_LOG_NAME))
        copy_bounded(path, "%windir%" SETUP_LOG_FOLDER SETUP_LOG_NAME);
    LogLine("The reason is in the system's driver setup log: %s", path);
}

/* The wizard: program is the full path of rundll32.exe as this process
 * reaches the system's own (through Sysnative under WOW64), command the line
 * it gets, its path in its own System32 followed by its arguments.  Returns 0
 * when the Windows folder cannot be read or either does not fit. */
static int BuildWizardCommand(char (&program)[MAX_PATH], char (&command)[MAX_PATH])
{
    if (!BuildSystemToolPath(program, WIZARD_TOOL_NAME)) return 0;
    return BuildWindowsPath(command, "\\SYSTEM32\\", WIZARD_COMMAND);
}

/* -a "<launch folder>\<INF0>": the backslash always goes in, even after a
 * drive root.  Returns 0 when the whole does not fit. */
static int BuildStagingParameters(char (&parameters)[MAX_PATH])
{
    int whole = copy_bounded(parameters, "-a \"");
    whole &= append_bounded(parameters, g_launchFolder);
    whole &= append_bounded(parameters, "\\");
    whole &= append_bounded(parameters, g_infTable[0]);
    whole &= append_bounded(parameters, "\"");
    return whole;
}

/* The package's INF, INF0 below the launch folder.  0 when it does not fit. */
static int BuildInfPath(char (&inf)[MAX_PATH])
{
    return format_bounded(inf, "%s\\%s", g_launchFolder, g_infTable[0]);
}

/* Names in the log the published copies of the INF just staged, which a
 * removal takes away. */
static void LogStagedCopies(void)
{
    char inf[MAX_PATH];
    if (BuildInfPath(inf)) LogPublishedCopies(inf);
}

/* The staged package's printer on its port: ready, with the staging's own
 * code (a restart may be needed), or failed. */
static void ReportNetworkPrinter(const NetworkPrinter *printer, DWORD stagedCode)
{
    char inf[MAX_PATH];
    char failure[MAX_PATH];
    char text[2 * MAX_PATH + sizeof MSG_PRINTER_FAILED];
    BuildInfPath(inf);
    if (SetUpNetworkPrinter(printer, inf, failure)) {
        format_bounded(text, MSG_PRINTER_READY, printer->name);
        ReportOutcome(NULL, text, MB_KIND_INFORMATION, stagedCode);
    } else {
        format_bounded(text, MSG_PRINTER_FAILED, printer->name, failure);
        ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INSTALL_FAILURE);
    }
}

/* Shows the system's words for a failed staging launch, or ours when it has
 * none or the code reads 0 (its words would then call the failure a success). */
static void ReportLaunchFailure(HWND page, DWORD code)
{
    char line[TRACE_SIZE];
    format_bounded(line, "ShellExecuteEx FALSE = %d", (int)code);
    OutputDebugStringA(line);
    LogLine(STAGING_TOOL_NAME " could not be started (error %lu)", (unsigned long)code);
    char *systemText = NULL;
    DWORD length = 0;
    if (code != ERROR_SUCCESS) {
        length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, NULL, code,
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), (LPSTR)&systemText, 0, NULL);
    }
    if (length > 0 && systemText) {
        ReportOutcome(page, systemText, MB_KIND_ERROR, ERROR_INSTALL_FAILURE);
    } else {
        char text[TRACE_SIZE];
        format_bounded(text, MSG_LAUNCH_FAILED, (int)code);
        ReportOutcome(page, text, MB_KIND_ERROR, ERROR_INSTALL_FAILURE);
    }
    if (systemText) LocalFree(systemText);
}

/* Counts printers, runs the Add Printer wizard, counts again: any change
 * means the wizard set a printer up. */
static void RunPrinterWizard(HWND page)
{
    static PrinterList printersBefore, printersAfter;
    int before = CountPrinters(&printersBefore);
    LogLine("Printers before the wizard: %d", before);
    if (before == -1) {
        ShowMessage(page, MSG_SYSTEM_ERROR, MB_KIND_ERROR);
        return;
    }
    char program[MAX_PATH];
    char command[MAX_PATH];
    if (!BuildWizardCommand(program, command)) {
        ShowMessage(page, MSG_SYSTEM_ERROR, MB_KIND_ERROR);
        return;
    }
    LogLine("Add Printer wizard: %s", command);
    if (!RunAndWait(GetParent(page), program, command)) {
        LogLine("The wizard could not be started or did not end with exit code 0");
        ShowMessage(page, MSG_ABORTED, MB_KIND_WARNING);
        return;
    }
    int after = CountPrinters(&printersAfter);
    LogLine("Printers after the wizard: %d", after);
    if (after != -1) LogPrinterChanges(&printersBefore, &printersAfter);
    if (after == -1) {
        ShowMessage(page, MSG_SYSTEM_ERROR, MB_KIND_ERROR);
    } else if (after == before) {
        ShowMessage(page, MSG_ABORTED, MB_KIND_WARNING);
    } else {
        ShowMessage(page, MSG_COMPLETED, MB_KIND_INFORMATION);
    }
}

/* Everything up to the outcome message. */
static void Install(HWND page, NetworkPrinter *printer)
{
    /* Windows would install no driver of the package, and even remove printers that use one. */
    if (ProtectedPrintOn()) {
        ReportOutcome(page, MSG_PROTECTED_PRINT, MB_KIND_ERROR, ERROR_INSTALL_PLATFORM_UNSUPPORTED);
        return;
    }
    if (!CheckDriverEntries()) return;
    /* A printer the package cannot give is refused before anything is staged. */
    char inf[MAX_PATH];
    if (printer && BuildInfPath(inf) && !ChoosePrinterModel(printer, inf)) return;
    if (NetworkPortChosen(page)) ShowMessage(page, MSG_NETWORK_NOTICE, MB_KIND_INFORMATION);

    char program[MAX_PATH];
    char parameters[MAX_PATH];
    if (!BuildSystemToolPath(program, STAGING_TOOL_NAME) || !BuildStagingParameters(parameters)) {
        LogLine("The staging command does not fit %d bytes", MAX_PATH - 1);
        ReportOutcome(page, MSG_SYSTEM_ERROR, MB_KIND_ERROR, ERROR_INSTALL_FAILURE);
        return;
    }
    LogLine("Staging command: \"%s\" %s", program, parameters);
    DWORD code = 0;
    /* The page's frame owns the launch; quiet mode has neither. */
    HWND frame = page ? GetParent(page) : NULL;
    switch (ShellLaunchAndWait(frame, program, parameters, SystemPathIsUNC(g_launchFolder), &code)) {
    case CHILD_NOT_STARTED:
        ReportLaunchFailure(page, code);
        return;
    case CHILD_EXIT_UNKNOWN:
        LogLine(STAGING_TOOL_NAME " ended; its exit code cannot be read");
        ReportOutcome(page, MSG_ABORTED, MB_KIND_WARNING, ERROR_INSTALL_FAILURE);
        return;
    case CHILD_EXITED:
        break;
    }
    LogExitCode(STAGING_TOOL_NAME, code);
    if (code != 0) {
        char line[TRACE_SIZE];
        format_bounded(line, "ExitCode = %ld", (long)(LONG)code);
        OutputDebugStringA(line);
        if (!StagedWithRestart(code)) {
            LogDriverSetupLog();
            ReportOutcome(page, MSG_ABORTED, MB_KIND_WARNING, ERROR_INSTALL_FAILURE);
            return;
        }
    }
    LogStagedCopies();
    if (printer) {
        ReportNetworkPrinter(printer, code);
        return;
    }
    if (!NetworkPortChosen(page)) {
        ReportOutcome(page, StagedWithRestart(code) ? MSG_READY_RESTART : MSG_READY, MB_KIND_INFORMATION, code);
        return;
    }
    RunPrinterWizard(page);
}

void RunInstallation(HWND page, NetworkPrinter *printer)
{
    Install(page, printer);
    /* Not before: "a WM_QUIT message always breaks the modal loop" of the
     * outcome box, which would close at once. */
    RepostKeptQuit();
}
