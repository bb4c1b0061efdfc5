#include "uidriver/window_find.h"

#include <string.h>

#include "common/text.h"

#define POLL_INTERVAL_MS 50

void ReadWindowExe(HWND window, char (&exe)[MAX_PATH])
{
    copy_bounded(exe, "");
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return;
    char path[MAX_PATH] = "";
    DWORD length = sizeof path;
    if (QueryFullProcessImageNameA(process, 0, path, &length)) {
        const char *slash = strrchr(path, '\\');
        copy_bounded(exe, slash ? slash + 1 : path);
    }
    CloseHandle(process);
}

struct TextSearch {
    const char *wanted;
    int found;
};

static BOOL CALLBACK CheckChildText(HWND child, LPARAM data)
{
    TextSearch *search = (TextSearch *)data;
    char text[1024] = "";
    GetWindowTextA(child, text, sizeof text);
    if (strstr(text, search->wanted)) {
        search->found = 1;
        return FALSE;
    }
    return TRUE;
}

/* True when some child control's text contains wanted. */
static int HasChildText(HWND window, const char *wanted)
{
    TextSearch search = {wanted, 0};
    EnumChildWindows(window, CheckChildText, (LPARAM)&search);
    return search.found;
}

static int MatchesOptions(HWND window, const DriverOptions *options)
{
    if (!IsWindowVisible(window)) return 0;
    if (options->exe[0]) {
        char exe[MAX_PATH];
        ReadWindowExe(window, exe);
        if (_stricmp(exe, options->exe) != 0) return 0;
    }
    if (options->className[0]) {
        char className[256] = "";
        GetClassNameA(window, className, sizeof className);
        if (strcmp(className, options->className) != 0) return 0;
    }
    if (options->caption[0]) {
        char caption[512] = "";
        GetWindowTextA(window, caption, sizeof caption);
        if (strcmp(caption, options->caption) != 0) return 0;
    }
    return !options->text[0] || HasChildText(window, options->text);
}

struct FindContext {
    const DriverOptions *options;
    FoundWindows *found;
};

static BOOL CALLBACK CollectMatch(HWND window, LPARAM data)
{
    FindContext *context = (FindContext *)data;
    if (context->found->count >= MAX_FOUND_WINDOWS) return FALSE;
    if (MatchesOptions(window, context->options)) context->found->windows[context->found->count++] = window;
    return TRUE;
}

void FindMatchingWindows(const DriverOptions *options, FoundWindows *found)
{
    found->count = 0;
    FindContext context = {options, found};
    EnumWindows(CollectMatch, (LPARAM)&context);
}

int WaitForWindows(const DriverOptions *options, FoundWindows *found)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindMatchingWindows(options, found);
        if (found->count >= options->count) return 1;
        if ((long)(GetTickCount() - start) >= options->timeoutMs) return 0;
        Sleep(POLL_INTERVAL_MS);
    }
}

int WaitForNoWindows(const DriverOptions *options, FoundWindows *found)
{
    DWORD start = GetTickCount();
    for (;;) {
        FindMatchingWindows(options, found);
        if (found->count == 0) return 1;
        if ((long)(GetTickCount() - start) >= options->timeoutMs) return 0;
        Sleep(POLL_INTERVAL_MS);
    }
}
