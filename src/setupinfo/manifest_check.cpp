#include "setupinfo/manifest_check.h"

#include <string.h>

#include "common/bounded.h"
#include "common/message.h"
#include "common/shell_functions.h"
#include "deploy/launch_log.h"
#include "deploy/outcome.h"
#include "setupinfo/setup_file.h"
#include "startup/launch_folder.h"

char g_infTable[INF_TABLE_SLOTS][MAX_PATH];

/* Counts are signed: 0 is an error, a negative count skips its list. */
static int ReadSetupCount(const char *path, const char *section, const char *key)
{
    int count = (int)GetPrivateProfileIntA(section, key, 0, path);
    if (count == 0) LogLine("Setup file: [%s] %s is 0, missing or not a number", section, key);
    return count;
}

/* An INF name goes into the staging command between double quotes, so one
 * holding a double quote would split that command. */
static int IsValidInfName(const char *value)
{
    return IsValidSetupValue(value) && strchr(value, '"') == NULL;
}

/* Reads the INF count and INF0 ... INF<count-1>; every entry must be valid,
 * the first INF_TABLE_SLOTS go into the table.  Returns 0 for a count of 0 or
 * at the first invalid entry. */
static int ReadInfTable(const char *path)
{
    char key[16];
    char value[MAX_PATH];
    int count = ReadSetupCount(path, "INFNUM", "INFITEM");
    if (count == 0) return 0;
    for (int i = 0; i < count; i++) {
        format_bounded(key, "INF%d", i);
        ReadSetupValue(path, "INFNAME", key, value);
        if (!IsValidInfName(value)) {
            LogLine("Setup file: [INFNAME] %s is missing, empty, \"%s\" or holds a double quote", key,
                    SETUP_VALUE_MISSING);
            return 0;
        }
        if (i < INF_TABLE_SLOTS) copy_bounded(g_infTable[i], value);
    }
    return 1;
}

/* True when entry names a file or folder under the launch folder.  A path
 * that does not fit MAX_PATH names nothing that can be opened: missing. */
static int ListedFileExists(const char *entry)
{
    char path[MAX_PATH];
    copy_bounded(path, g_launchFolder);
    if (FolderNeedsBackslash(g_launchFolder)) append_bounded(path, "\\");
    if (!append_bounded(path, entry)) return 0;
    return SystemPathFileExists(path) ? 1 : 0;
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
    char key[16];
    char value[MAX_PATH];
    int count = ReadSetupCount(path, "FILENUM", "FILEITEM");
    if (count == 0) return FILES_INVALID;
    for (int j = 0; j < count; j++) {
        format_bounded(key, "FL%d", j);
        ReadSetupValue(path, "FILELIST", key, value);
        if (!IsValidSetupValue(value)) {
            LogLine("Setup file: [FILELIST] %s is missing, empty or \"%s\"", key, SETUP_VALUE_MISSING);
            return FILES_INVALID;
        }
        if (!ListedFileExists(value)) {
            LogLine("Missing file: [FILELIST] %s=%s", key, value);
            ShowMissingFile(value);
            return FILE_MISSING;
        }
    }
    return FILES_PRESENT;
}

int CheckDriverManifest(void)
{
    char path[MAX_PATH];
    memset(g_infTable, 0, sizeof g_infTable);
    BuildSetupFilePath(path);
    if (!FindSetupFile(path)) return 0;
    if (ReadInfTable(path)) {
        switch (CheckListedFiles(path)) {
        case FILES_PRESENT: return 1;
        case FILE_MISSING: return 0;
        case FILES_INVALID: break;
        }
    }
    return RefuseSetupFile(path);
}
