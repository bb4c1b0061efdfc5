/* Stand-in pnputil.exe: records how it was started, sleeps and exits as
 * E2E_PNPUTIL_SLEEP_MS and E2E_PNPUTIL_EXIT say, and keeps a driver store as
 * Windows does, in the prefix's %windir%\INF:
 *   -a PATH  ending with 0, 3010 or 1641 publishes PATH as oem<N>.inf (the
 *            lowest free N), unless a byte-identical oem*.inf is there already;
 *   -d NAME  ending with 0 or 3010 removes NAME from the INF folder.
 * It installs nothing. */
#include <string.h>
#include <windows.h>

#include "common/text.h"
#include "tools/tool_log.h"

#define MOST_PUBLISHED 1000

static int InfFolderPath(char (&path)[MAX_PATH], const char *name)
{
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    return length > 0 && length < sizeof path && append_bounded(path, "\\INF\\") && append_bounded(path, name);
}

/* True when the files at the two paths hold the same bytes. */
static int SameFile(const char *one, const char *other)
{
    static char first[65536], second[65536];
    HANDLE a = CreateFileA(one, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE b = CreateFileA(other, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    int same = a != INVALID_HANDLE_VALUE && b != INVALID_HANDLE_VALUE;
    for (DWORD got = 1, gotOther; same && got > 0;) {
        same = ReadFile(a, first, sizeof first, &got, NULL) && ReadFile(b, second, sizeof second, &gotOther, NULL) &&
               got == gotOther && memcmp(first, second, got) == 0;
    }
    if (a != INVALID_HANDLE_VALUE) CloseHandle(a);
    if (b != INVALID_HANDLE_VALUE) CloseHandle(b);
    return same;
}

/* Publishes the INF at source unless a copy is there; names what it did in note. */
static void Publish(const char *source, char (&note)[MAX_PATH])
{
    char name[32];
    char path[MAX_PATH];
    int free = 0;
    for (int number = 1; number <= MOST_PUBLISHED; number++) {
        format_bounded(name, "oem%d.inf", number);
        if (!InfFolderPath(path, name)) return;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
            if (!free) free = number;
        } else if (SameFile(source, path)) {
            format_bounded(note, "already published as %s", name);
            return;
        }
    }
    format_bounded(name, "oem%d.inf", free);
    if (free && InfFolderPath(path, name) && CopyFileA(source, path, TRUE))
        format_bounded(note, "published as %s", name);
}

static void Remove(const char *name, char (&note)[MAX_PATH])
{
    char path[MAX_PATH];
    if (InfFolderPath(path, name) && DeleteFileA(path)) format_bounded(note, "removed %s", name);
}

int main(int argc, char **argv)
{
    LogToolStart("pnputil", "");
    SleepAsAsked("E2E_PNPUTIL_SLEEP_MS");
    unsigned exitCode = ExitCodeAsAsked("E2E_PNPUTIL_EXIT");
    char note[MAX_PATH] = "";
    int staged = exitCode == 0 || exitCode == ERROR_SUCCESS_REBOOT_REQUIRED || exitCode == ERROR_SUCCESS_REBOOT_INITIATED;
    if (argc == 3 && !strcmp(argv[1], "-a") && staged) Publish(argv[2], note);
    if (argc == 3 && !strcmp(argv[1], "-d") && (exitCode == 0 || exitCode == ERROR_SUCCESS_REBOOT_REQUIRED))
        Remove(argv[2], note);
    LogToolExit("pnputil", exitCode, note);
    ExitProcess(exitCode);
}
