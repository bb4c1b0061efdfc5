#include "setupinfo/driver_entries.h"

#include <string.h>

#include "common/bounded.h"
#include "common/launch_folder.h"
#include "common/launch_log.h"
#include "common/outcome.h"
#include "common/shell_functions.h"
#include "common/user_message.h"
#include "setupinfo/inf_file.h"
#include "setupinfo/setup_file.h"
#include "setupinfo/setup_lists.h"

char g_infTable[INF_TABLE_SLOTS][MAX_PATH];

/* The list's count; 0 (an error) is logged. */
static int ReadCount(const char *path, const SetupList *list)
{
    int count = ReadListCount(path, list);
    if (count == 0) LogLine("Setup file: [%s] %s is 0, missing or not a number", list->countSection, list->countKey);
    return count;
}

/* Reads the INF count and INF0 ... INF<count-1>; every entry must be valid,
 * the first INF_TABLE_SLOTS go into the table.  Returns 0 for a count of 0 or
 * at the first invalid entry. */
static int ReadInfTable(const char *path)
{
    SetupEntry entry;
    int count = ReadCount(path, &INF_LIST);
    if (count == 0) return 0;
    for (int i = 0; i < count; i++) {
        ReadListEntry(path, &INF_LIST, i, &entry);
        if (entry.verdict != ENTRY_VALID) {
            LogLine("Setup file: [INFNAME] %s is missing, empty, \"%s\" or holds a double quote", entry.key,
                    SETUP_VALUE_MISSING);
            return 0;
        }
        if (i < INF_TABLE_SLOTS) copy_bounded(g_infTable[i], entry.value);
    }
    return 1;
}

/* The launch folder and entry joined as a listed file is found.  0 when the
 * whole does not fit MAX_PATH: then it names nothing that can be opened. */
static int JoinToLaunchFolder(const char *entry, char (&path)[MAX_PATH])
{
    copy_bounded(path, g_launchFolder);
    if (FolderNeedsBackslash(g_launchFolder)) append_bounded(path, "\\");
    return append_bounded(path, entry);
}

/* True when entry names a file or folder under the launch folder. */
static int ListedFileExists(const char *entry)
{
    char path[MAX_PATH];
    return JoinToLaunchFolder(entry, path) && SystemPathFileExists(path);
}

/* The entry as written (up to 254 bytes), then the missing-files text. */
static void ShowMissingFile(const char *entry)
{
    char text[SETUP_VALUE_SIZE + sizeof "\n" + sizeof MSG_DRIVER_FILES_MISSING];
    format_bounded(text, "%s\n%s", entry, MSG_DRIVER_FILES_MISSING);
    ReportOutcome(NULL, text, MB_KIND_ERROR, ERROR_INSTALL_PACKAGE_INVALID);
}

enum ListedFiles { FILES_PRESENT, FILES_INVALID, FILE_MISSING };

/* Checks FL0 ... FL<count-1> in order, stopping at the first failure; shows
 * the missing-file message itself.  A negative count checks nothing. */
static ListedFiles CheckListedFiles(const char *path)
{
    SetupEntry entry;
    int count = ReadCount(path, &FILE_LIST);
    if (count == 0) return FILES_INVALID;
    for (int j = 0; j < count; j++) {
        ReadListEntry(path, &FILE_LIST, j, &entry);
        if (entry.verdict != ENTRY_VALID) {
            LogLine("Setup file: [FILELIST] %s is missing, empty or \"%s\"", entry.key, SETUP_VALUE_MISSING);
            return FILES_INVALID;
        }
        if (!ListedFileExists(entry.value)) {
            LogLine("Missing file: [FILELIST] %s=%s", entry.key, entry.value);
            ShowMissingFile(entry.value);
            return FILE_MISSING;
        }
    }
    return FILES_PRESENT;
}

/* Names in the log the driver package the INF at infPath is: a newer
 * package over an older one does not read as a reinstall. */
static void LogDriverPackage(const char *infPath)
{
    char text[2 * MAX_PATH];
    DescribeInf(infPath, text);
    const char *name = strrchr(infPath, '\\');
    LogLine("Driver package: %s, %s", name ? name + 1 : infPath, text);
}

int CheckDriverEntries(void)
{
    char path[MAX_PATH];
    memset(g_infTable, 0, sizeof g_infTable);
    BuildSetupFilePath(path);
    if (!FindSetupFile(path)) return 0;
    if (ReadInfTable(path)) {
        switch (CheckListedFiles(path)) {
        case FILES_PRESENT:
            if (JoinToLaunchFolder(g_infTable[0], path)) LogDriverPackage(path);
            return 1;
        case FILE_MISSING: return 0;
        case FILES_INVALID: break;
        }
    }
    return RefuseSetupFile(path);
}

int CheckInfToRemove(char (&infPath)[MAX_PATH])
{
    char path[MAX_PATH];
    SetupEntry entry;
    BuildSetupFilePath(path);
    if (!FindSetupFile(path)) return 0;
    int count = ReadCount(path, &INF_LIST);
    if (count < 0) LogLine("Setup file: [INFNUM] INFITEM is negative: no INF is named");
    if (count <= 0) return RefuseSetupFile(path);
    ReadListEntry(path, &INF_LIST, 0, &entry);
    if (entry.verdict != ENTRY_VALID) {
        LogLine("Setup file: [INFNAME] INF0 is missing, empty, \"%s\" or holds a double quote", SETUP_VALUE_MISSING);
        return RefuseSetupFile(path);
    }
    DWORD attributes = JoinToLaunchFolder(entry.value, infPath) ? GetFileAttributesA(infPath) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogLine("Missing file: [INFNAME] INF0=%s", entry.value);
        ShowMissingFile(entry.value);
        return 0;
    }
    LogDriverPackage(infPath);
    return 1;
}
