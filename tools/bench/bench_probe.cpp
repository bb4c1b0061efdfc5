/*
 * Measures inside Wine, on one clock (QueryPerformanceCounter), what a user
 * waits for.  Run in a package folder:
 *
 *   bench_probe startup RUNS EXE...   for each run and each EXE in turn (each run
 *       starting with the next EXE, so each takes every place equally often): from
 *       CreateProcessA to the notice dialog shown ("shown") and to its thread
 *       answering a message, so that it paints and takes input ("startup");
 *       then Cancel on the notice.
 *   bench_probe latency RUNS EXE      OK on the notice and on the page, then from
 *       the staging tool's exit (pnputil.exe, seen through its process handle)
 *       to the outcome box visible; then OK on the box.
 *   bench_probe quiet RUNS EXE        "EXE /quiet" from CreateProcessA to its exit,
 *       less the staging tool's own lifetime (its creation to its exit, as the
 *       system recorded them): what quiet mode itself costs a deployment.
 *
 * Prints one line per measurement, "startup EXE MS", "shown EXE MS", "latency EXE MS"
 * or "quiet EXE MS",
 * "exit EXE CODE" after each start-up run (the floor's code counts its focus pauses), and
 * "error TEXT" when a run could not be measured (exit code 1).
 */
#include <windows.h>

#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "brand.h"

#define PRODUCT_TITLE BRAND_TITLE
#define FRAME_CLASS BRAND_WINDOW_CLASS
#define DIALOG_CLASS "#32770"
#define PAGE_OK_ID 1276
#define STAGING_TOOL "pnputil.exe"
#define WAIT_LIMIT_MS 20000

static LARGE_INTEGER g_frequency;

static double NowMs(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)g_frequency.QuadPart;
}

struct Search {
    DWORD process;
    const char *className;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    Search *search = (Search *)data;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (process != search->process || !IsWindowVisible(window) || strcmp(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

/* A visible top-level window of the process with the class, or NULL. */
static HWND FindProcessWindow(DWORD process, const char *className)
{
    Search search = {process, className, NULL};
    EnumWindows(MatchWindow, (LPARAM)&search);
    return search.found;
}

/* Polls every millisecond until the window shows; NULL after the limit. */
static HWND WaitForWindow(DWORD process, const char *className)
{
    double deadline = NowMs() + WAIT_LIMIT_MS;
    while (NowMs() < deadline) {
        HWND window = FindProcessWindow(process, className);
        if (window) return window;
        Sleep(1);
    }
    return NULL;
}

static int Start(const char *exe, PROCESS_INFORMATION *info, const char *arguments = "")
{
    char commandLine[MAX_PATH + 32];
    snprintf(commandLine, sizeof commandLine, "\"%s\"%s", exe, arguments);
    STARTUPINFOA startup = STARTUPINFOA();
    startup.cb = sizeof startup;
    return CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, info);
}

/* Waits for the process to end (ends it after the limit); returns its exit code. */
static DWORD Finish(PROCESS_INFORMATION *info)
{
    if (WaitForSingleObject(info->hProcess, WAIT_LIMIT_MS) != WAIT_OBJECT_0) TerminateProcess(info->hProcess, 1);
    DWORD code = 0;
    GetExitCodeProcess(info->hProcess, &code);
    CloseHandle(info->hThread);
    CloseHandle(info->hProcess);
    return code;
}

static int Fail(const char *what, const char *exe)
{
    printf("error %s (%s)\n", what, exe);
    fflush(stdout);
    return 0;
}

static int MeasureStartup(const char *exe)
{
    PROCESS_INFORMATION info;
    double started = NowMs();
    if (!Start(exe, &info)) return Fail("cannot start", exe);
    HWND notice = WaitForWindow(info.dwProcessId, DIALOG_CLASS);
    double shown = NowMs();
    /* Shown is not yet usable: the launcher's thread answers once it is back in the dialog's loop. */
    DWORD_PTR answer = 0;
    if (notice) SendMessageTimeoutA(notice, WM_NULL, 0, 0, SMTO_NORMAL, WAIT_LIMIT_MS, &answer);
    double answering = NowMs();
    if (notice) PostMessageA(notice, WM_COMMAND, IDCANCEL, 0);
    DWORD code = Finish(&info);
    if (!notice) return Fail("no notice", exe);
    printf("startup %s %.1f\n", exe, answering - started);
    printf("shown %s %.1f\n", exe, shown - started);
    printf("exit %s %lu\n", exe, (unsigned long)code);
    fflush(stdout);
    return 1;
}

/* The child of parent named name, opened to wait on and read its times; NULL when none runs. */
static HANDLE FindChild(DWORD parent, const char *name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    HANDLE child = NULL;
    for (BOOL more = Process32First(snapshot, &entry); more && !child; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parent && lstrcmpiA(entry.szExeFile, name) == 0)
            child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    CloseHandle(snapshot);
    return child;
}

/* The staging tool started by the process parent; NULL after the limit. */
static HANDLE WaitForChild(DWORD parent, const char *name)
{
    double deadline = NowMs() + WAIT_LIMIT_MS;
    while (NowMs() < deadline) {
        if (HANDLE child = FindChild(parent, name)) return child;
        Sleep(1);
    }
    return NULL;
}

static double FileTimeMs(const FILETIME &time)
{
    return (double)(((ULONGLONG)time.dwHighDateTime << 32) | time.dwLowDateTime) / 10000.0;
}

static int MeasureQuiet(const char *exe)
{
    PROCESS_INFORMATION info;
    double started = NowMs();
    if (!Start(exe, &info, " /quiet")) return Fail("cannot start", exe);
    HANDLE staging = NULL;
    double lifetime = -1;
    while (!staging && WaitForSingleObject(info.hProcess, 1) == WAIT_TIMEOUT)
        staging = FindChild(info.dwProcessId, STAGING_TOOL);
    DWORD waited = WaitForSingleObject(info.hProcess, WAIT_LIMIT_MS);
    double ended = NowMs();
    FILETIME created, exited, kernel, user;
    if (staging && GetProcessTimes(staging, &created, &exited, &kernel, &user))
        lifetime = FileTimeMs(exited) - FileTimeMs(created);
    if (staging) CloseHandle(staging);
    DWORD code = Finish(&info);
    if (waited != WAIT_OBJECT_0 || lifetime < 0 || code != 0) return Fail("quiet run not measured", exe);
    printf("quiet %s %.1f\n", exe, ended - started - lifetime);
    fflush(stdout);
    return 1;
}

static int MeasureLatency(const char *exe)
{
    PROCESS_INFORMATION info;
    if (!Start(exe, &info)) return Fail("cannot start", exe);
    int ok = 0;
    HWND notice = WaitForWindow(info.dwProcessId, DIALOG_CLASS);
    if (notice) {
        PostMessageA(notice, WM_COMMAND, IDOK, 0);
        HWND frame = WaitForWindow(info.dwProcessId, FRAME_CLASS);
        while (frame && FindProcessWindow(info.dwProcessId, DIALOG_CLASS)) Sleep(1);  /* notice gone */
        HWND page = frame ? FindWindowExA(frame, NULL, DIALOG_CLASS, NULL) : NULL;
        if (page) PostMessageA(page, WM_COMMAND, MAKEWPARAM(PAGE_OK_ID, BN_CLICKED), 0);
        HANDLE staging = page ? WaitForChild(info.dwProcessId, STAGING_TOOL) : NULL;
        if (staging && WaitForSingleObject(staging, WAIT_LIMIT_MS) == WAIT_OBJECT_0) {
            double exited = NowMs();
            HWND box = WaitForWindow(info.dwProcessId, DIALOG_CLASS);
            double shown = NowMs();
            if (box) {
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                printf("latency %s %.1f\n", exe, shown - exited);
                ok = 1;
            }
        }
        if (staging) CloseHandle(staging);
    }
    if (!ok) {
        TerminateProcess(info.hProcess, 1);
        Fail("flow not measured", exe);
    }
    Finish(&info);
    fflush(stdout);
    return ok;
}

int main(int argc, char **argv)
{
    QueryPerformanceFrequency(&g_frequency);
    if (argc < 4) {
        printf("error usage: bench_probe startup|latency|quiet RUNS EXE...\n");
        return 1;
    }
    int runs = atoi(argv[2]);
    int ok = 1;
    /* Each run starts with the next program in turn: the first launch after
     * the last one of a run comes measurably later under Wine, and no program
     * may always be the one to pay for it. */
    int programs = argc - 3;
    for (int run = 0; run < runs; run++) {
        for (int k = 0; k < programs; k++) {
            const char *exe = argv[3 + (run + k) % programs];
            if (strcmp(argv[1], "startup") == 0)
                ok &= MeasureStartup(exe);
            else if (strcmp(argv[1], "quiet") == 0)
                ok &= MeasureQuiet(exe);
            else
                ok &= MeasureLatency(exe);
        }
    }
    return ok ? 0 : 1;
}
