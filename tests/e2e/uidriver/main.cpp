/* The UI driver: a console program that acts as the user beside the launcher.
 *
 *   uidriver ACTION [--exe NAME] [--class C] [--caption T] [--text S]
 *                   [--count N] [--timeout MS] [--button LABEL] [--id N] [--vk N]
 *
 * report   waits for --count matching windows and prints each
 * click    waits for one, prints it, posts BM_CLICK to --button
 * command  waits for one, prints it, posts WM_COMMAND --id
 * key      waits for one, prints it, posts the key --vk
 * syscommand  waits for one, prints it, posts WM_SYSCOMMAND --id (0xF060 is the close box)
 * sysmenu  waits for one, prints it and its system menu, read from inside its
 *          process by the hook DLL beside the driver (of the window's bitness),
 *          and whether its class icon is the executable's icon resource --id
 * boxspy   waits for one, prints it, and records from then on the owner of
 *          each MessageBoxA call of its executable (hook/message_box_spy.h)
 * ping     waits for one, prints it, sends it WM_NULL with SendMessageTimeout
 *          (SMTO_ABORTIFHUNG, 1 s) and prints whether and how fast it answered
 * gone     waits until none matches
 * list     prints every visible top-level window now (no filters but --exe)
 *
 * Every output line is a JSON object.  Exit status: 0 done, 1 bad command
 * line, 2 timed out, 3 the action could not be done. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "common/json_line.h"
#include "uidriver/box_spy.h"
#include "uidriver/options.h"
#include "uidriver/system_menu.h"
#include "uidriver/user_actions.h"
#include "uidriver/window_find.h"
#include "uidriver/window_report.h"

enum { EXIT_DONE = 0, EXIT_USAGE = 1, EXIT_TIMEOUT = 2, EXIT_FAILED = 3 };

#define PING_TIMEOUT_MS 1000

static void ReportEvent(const char *event, const DriverOptions *options, int windows, DWORD error = 0)
{
    static JsonLine line;
    JsonBegin(&line);
    JsonString(&line, "event", event);
    JsonString(&line, "action", options->action);
    JsonNumber(&line, "windows", windows);
    if (error) JsonNumber(&line, "error", error);
    JsonEnd(&line);
}

/* On a timeout every visible window is listed, to show what was there instead. */
static int ReportTimeout(const DriverOptions *options, const FoundWindows *found)
{
    ReportEvent("timeout", options, found->count);
    DriverOptions everything;
    memset(&everything, 0, sizeof everything);
    FoundWindows all;
    FindMatchingWindows(&everything, &all);
    for (int i = 0; i < all.count; ++i) ReportWindow(all.windows[i]);
    return EXIT_TIMEOUT;
}

/* Performs the user action of options on window. */
static int DoUserAction(const DriverOptions *options, HWND window)
{
    if (!strcmp(options->action, "click")) return ClickButton(window, options->button);
    if (!strcmp(options->action, "command")) return PostCommand(window, options->commandId);
    if (!strcmp(options->action, "key")) return PressKey(window, options->virtualKey);
    if (!strcmp(options->action, "syscommand")) return PostSysCommand(window, options->commandId);
    if (!strcmp(options->action, "boxspy")) return InstallBoxSpy(window, options->timeoutMs);
    if (!strcmp(options->action, "sysmenu")) return PrintSystemMenu(window, options->commandId, options->timeoutMs);
    if (!strcmp(options->action, "ping")) return PingWindow(window, PING_TIMEOUT_MS);
    return 1;
}

static int RunAction(const DriverOptions *options)
{
    FoundWindows found;
    if (!strcmp(options->action, "list")) {
        FindMatchingWindows(options, &found);
        for (int i = 0; i < found.count; ++i) ReportWindow(found.windows[i]);
        return EXIT_DONE;
    }
    if (!strcmp(options->action, "gone")) {
        if (!WaitForNoWindows(options, &found)) return ReportTimeout(options, &found);
        ReportEvent("gone", options, 0);
        return EXIT_DONE;
    }
    if (!WaitForWindows(options, &found)) return ReportTimeout(options, &found);
    int reported = !strcmp(options->action, "report") ? found.count : 1;
    for (int i = 0; i < reported; ++i) ReportWindow(found.windows[i]);
    SetLastError(0);
    if (!DoUserAction(options, found.windows[0])) {
        DWORD error = GetLastError();
        ReportEvent("action_failed", options, found.count, error);
        return EXIT_FAILED;
    }
    ReportEvent("done", options, found.count);
    return EXIT_DONE;
}

int main(int argc, char **argv)
{
    DriverOptions options;
    if (!ParseOptions(argc, argv, &options)) return EXIT_USAGE;
    const char *known[] = {"report", "click", "command", "key", "syscommand", "sysmenu", "boxspy", "ping", "gone", "list"};
    for (const char *action : known)
        if (!strcmp(options.action, action)) return RunAction(&options);
    fprintf(stderr, "uidriver: unknown action %s\n", options.action);
    return EXIT_USAGE;
}
