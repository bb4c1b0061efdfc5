#include "setupinfo/package_check.h"

#include <string.h>
#include <windows.h>

#include "common/bounded.h"
#include "common/names.h"
#include "common/shell_functions.h"
#include "deploy/console_report.h"
#include "deploy/launch_log.h"
#include "setupinfo/manifest_check.h"
#include "setupinfo/setup_file.h"
#include "startup/launch_folder.h"

#define ENTRY_LIMIT 1000            /* entries of a list that are checked */
#define LONG_VALUE_SIZE 1024        /* room to see a value the launcher would read cut */
#define KEY_LIST_SIZE 32768         /* the key names of one section */
#define SAMPLE_SIZE 65536           /* the setup file's bytes looked at for its encoding */
#define SHORTEST_FOLDER 3           /* a drive root such as "C:\" */
/* Behind a launch folder: a backslash and the entry, within 259 bytes; the
 * staging parameters add -a, a space, two quotes and a backslash to INF0. */
#define PATH_ROOM (MAX_PATH - 1 - 1)
#define STAGING_ROOM (MAX_PATH - 1 - 6)

enum ProblemKind { PROBLEM_WARNING, PROBLEM_ERROR };

static char g_setupFile[MAX_PATH];
static char g_files[ENTRY_LIMIT][MAX_PATH];  /* the file list as read */
static int g_fileCount;
static int g_errors;
static int g_warnings;
static int g_budget;                          /* longest launch folder allowed */
static char g_budgetKey[MAX_PATH];            /* the entry that sets it */

static void Problem(ProblemKind kind, const char *format, ...)
{
    char text[LOG_LINE_SIZE];
    va_list args;
    va_start(args, format);
    vformat_bounded(text, format, args);
    va_end(args);
    if (kind == PROBLEM_ERROR) g_errors++;
    else g_warnings++;
    ReportLine("%s: %s", kind == PROBLEM_ERROR ? "error" : "warning", text);
}

/* The launch folder an entry of length bytes leaves, behind room. */
static void NoteBudget(const char *section, const char *key, size_t length, int room)
{
    int folder = room - (int)length;
    if (folder < SHORTEST_FOLDER)
        Problem(PROBLEM_ERROR, "[%s] %s: %u bytes, too long for any launch folder", section, key, (unsigned)length);
    if (folder < g_budget) {
        g_budget = folder;
        format_bounded(g_budgetKey, "[%s] %s", section, key);
    }
}

/* name below the current folder: the check works from a folder of any length. */
static int RelativePath(const char *name, char (&path)[MAX_PATH])
{
    return format_bounded(path, ".\\%s", name);
}

/* Present as the launcher judges it: a file or a folder, by the shell's test. */
static int Exists(const char *name)
{
    char path[MAX_PATH];
    return RelativePath(name, path) && SystemPathFileExists(path);
}

/* Reads section/key as the launcher does; reports it and returns 0 when it
 * is missing, empty, "unknown" or longer than the launcher reads. */
static int ReadEntry(const char *section, const char *key, char (&value)[MAX_PATH])
{
    char whole[LONG_VALUE_SIZE];
    GetPrivateProfileStringA(section, key, SETUP_VALUE_MISSING, whole, sizeof whole, g_setupFile);
    if (!IsValidSetupValue(whole)) {
        Problem(PROBLEM_ERROR, "[%s] %s: missing, empty or \"" SETUP_VALUE_MISSING "\"", section, key);
        return 0;
    }
    if (strlen(whole) >= SETUP_VALUE_SIZE) {
        Problem(PROBLEM_ERROR, "[%s] %s: over 254 bytes, read cut", section, key);
        return 0;
    }
    copy_bounded(value, whole);
    return 1;
}

/* A count as the launcher reads it; 0 (missing, or not a number) is an error. */
static int ReadCount(const char *section, const char *key)
{
    int count = (int)GetPrivateProfileIntA(section, key, 0, g_setupFile);
    if (count == 0) Problem(PROBLEM_ERROR, "[%s] %s: 0, missing or not a number", section, key);
    if (count > ENTRY_LIMIT) {
        Problem(PROBLEM_ERROR, "[%s] %s=%d: over 1000 entries", section, key, count);
        count = ENTRY_LIMIT;
    }
    return count;
}

/* Reads the key names of section from file into keys (each terminated, an
 * empty name last). */
static void ReadKeyNames(const char *section, const char *file, char (&keys)[KEY_LIST_SIZE])
{
    if (GetPrivateProfileStringA(section, NULL, "", keys, sizeof keys, file) == 0) keys[0] = '\0';
    keys[sizeof keys - 1] = keys[sizeof keys - 2] = '\0';
}

/* The number after prefix in key ("FL12" -> 12), or -1 when key is no such entry. */
static int EntryNumber(const char *key, const char *prefix)
{
    if (!StartsWithName(key, prefix)) return -1;
    int number = 0;
    const char *digit = key + strlen(prefix);
    if (*digit == '\0') return -1;
    for (; *digit; digit++) {
        if (*digit < '0' || *digit > '9' || number > ENTRY_LIMIT * 1000) return -1;
        number = number * 10 + (*digit - '0');
    }
    return number;
}

/* Entries numbered at or past count are never read by the launcher. */
static void WarnBeyondCount(const char *section, const char *prefix, const char *countKey, int count)
{
    static char keys[KEY_LIST_SIZE];
    ReadKeyNames(section, g_setupFile, keys);
    for (const char *key = keys; *key; key += strlen(key) + 1) {
        int number = EntryNumber(key, prefix);
        if (number >= 0 && number >= count)
            Problem(PROBLEM_WARNING, "[%s] %s: beyond %s=%d, never read", section, key, countKey, count);
    }
}

static int Listed(const char *name)
{
    for (int i = 0; i < g_fileCount; i++)
        if (IsName(g_files[i], name)) return i;
    return -1;
}

/* Reads the file list, reporting every entry that is wanting, listed twice
 * or missing from the package. */
static void CheckFileList(void)
{
    int count = ReadCount("FILENUM", "FILEITEM");
    if (count < 0) Problem(PROBLEM_WARNING, "[FILENUM] FILEITEM=%d: negative, no file is checked", count);
    WarnBeyondCount("FILELIST", "FL", "FILEITEM", count);
    char key[16];
    char value[MAX_PATH];
    for (int j = 0; j < count; j++) {
        format_bounded(key, "FL%d", j);
        if (!ReadEntry("FILELIST", key, value)) continue;
        int twice = Listed(value);
        if (twice >= 0) Problem(PROBLEM_WARNING, "[FILELIST] %s=%s: listed twice (FL%d)", key, value, twice);
        copy_bounded(g_files[g_fileCount++], value);
        if (!Exists(value)) Problem(PROBLEM_ERROR, "[FILELIST] %s=%s: missing", key, value);
        NoteBudget("FILELIST", key, strlen(value), PATH_ROOM);
    }
}

/* Every CatalogFile key of the INF's [Version] section names a catalog that
 * must lie in the INF's folder. */
static void CheckCatalogs(const char *key, const char *name, const char *infPath)
{
    static char keys[KEY_LIST_SIZE];
    ReadKeyNames("Version", infPath, keys);
    const char *slash = strrchr(name, '\\');
    for (const char *entry = keys; *entry; entry += strlen(entry) + 1) {
        if (!IsName(entry, "CatalogFile") && !StartsWithName(entry, "CatalogFile.")) continue;
        char catalog[MAX_PATH];
        char path[MAX_PATH];
        GetPrivateProfileStringA("Version", entry, "", catalog, sizeof catalog, infPath);
        format_bounded(path, "%.*s%s", slash ? (int)(slash - name + 1) : 0, name, catalog);
        if (catalog[0] && !Exists(path))
            Problem(PROBLEM_ERROR, "[INFNAME] %s=%s: %s %s missing", key, name, entry, path);
    }
}

static void CheckInf(const char *key, const char *name, int toInstall)
{
    char path[MAX_PATH];
    if (!Exists(name)) {
        if (toInstall) Problem(PROBLEM_ERROR, "[INFNAME] %s=%s: missing", key, name);
        return;
    }
    if (toInstall && Listed(name) < 0)
        Problem(PROBLEM_WARNING, "[INFNAME] %s=%s: not in the file list", key, name);
    char signature[MAX_PATH];
    RelativePath(name, path);
    GetPrivateProfileStringA("Version", "Signature", "", signature, sizeof signature, path);
    if (signature[0] == '\0') {
        Problem(PROBLEM_ERROR, "[INFNAME] %s=%s: not an INF (no [Version] Signature)", key, name);
        return;
    }
    CheckCatalogs(key, name, path);
}

static void CheckInfList(void)
{
    int count = ReadCount("INFNUM", "INFITEM");
    if (count < 0) Problem(PROBLEM_ERROR, "[INFNUM] INFITEM=%d: negative, nothing is installed", count);
    if (count > INF_TABLE_SLOTS) Problem(PROBLEM_WARNING, "[INFNUM] INFITEM=%d: over 5, only INF0 is installed", count);
    WarnBeyondCount("INFNAME", "INF", "INFITEM", count);
    char key[16];
    char value[MAX_PATH];
    for (int i = 0; i < count; i++) {
        format_bounded(key, "INF%d", i);
        if (!ReadEntry("INFNAME", key, value)) continue;
        if (strchr(value, '"')) {
            Problem(PROBLEM_ERROR, "[INFNAME] %s=%s: holds a double quote", key, value);
            continue;
        }
        if (i == 0) NoteBudget("INFNAME", key, strlen(value), STAGING_ROOM);
        CheckInf(key, value, i == 0);
    }
}

/* What Windows' profile reader makes of the setup file's bytes, where it
 * differs from what the launcher expects (and from Wine, which reads more). */
static void CheckEncoding(const char *name)
{
    static BYTE sample[SAMPLE_SIZE];
    DWORD got = 0;
    HANDLE file = CreateFileA(g_setupFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        Problem(PROBLEM_ERROR, "%s: cannot be read (error %lu)", name, (unsigned long)GetLastError());
        return;
    }
    ReadFile(file, sample, sizeof sample, &got, NULL);
    CloseHandle(file);
    int ascii = 1;
    for (DWORD i = 0; i < got; i++) ascii &= sample[i] < 0x80;
    if (got >= 3 && memcmp(sample, "\xEF\xBB\xBF", 3) == 0) {
        Problem(PROBLEM_ERROR, "%s: UTF-8 byte order mark; Windows cannot read the first section", name);
    } else if (got >= 2 && memcmp(sample, "\xFE\xFF", 2) == 0) {
        Problem(PROBLEM_ERROR, "%s: UTF-16 big-endian, which Windows cannot read", name);
    } else if (got >= 2 && memcmp(sample, "\xFF\xFE", 2) == 0) {
        Problem(PROBLEM_WARNING, "%s: UTF-16, read in the PC's ANSI code page", name);
    } else if (memchr(sample, 0, got)) {
        Problem(PROBLEM_ERROR, "%s: holds NUL bytes (UTF-16 without a byte order mark?)", name);
    } else if (!ascii) {
        Problem(PROBLEM_WARNING, "%s: bytes beyond ASCII, read in the PC's ANSI code page", name);
    }
}

static int CheckSetupFile(const char *name)
{
    DWORD attributes = GetFileAttributesA(g_setupFile);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Problem(PROBLEM_ERROR, "%s: missing", name);
        return 0;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        Problem(PROBLEM_ERROR, "%s: a folder, not a file", name);
        return 0;
    }
    CheckEncoding(name);
    return 1;
}

int CheckPackage(void)
{
    char name[MAX_PATH];
    char value[MAX_PATH];
    g_errors = g_warnings = g_fileCount = 0;
    g_budget = LAUNCH_FOLDER_LIMIT;
    g_budgetKey[0] = '\0';
    ReadBaseName();
    format_bounded(name, "%s.INI", g_baseName);
    RelativePath(name, g_setupFile);
    ReportLine("Package check: %s", name);
    if (CheckSetupFile(name)) {
        ReadEntry("MODEL", "MODEL", value);
        ReadEntry("LANGUAGEMENU", "LANGUAGEMENU", value);
        CheckFileList();
        CheckInfList();
        if (g_budget < LAUNCH_FOLDER_LIMIT)
            Problem(PROBLEM_WARNING, "%s: launch folder budget %d bytes, under 100", g_budgetKey, g_budget);
        ReportLine("Longest launch folder: %d bytes", g_budget > 0 ? g_budget : 0);
    }
    ReportLine("%d errors, %d warnings", g_errors, g_warnings);
    return g_errors ? ERROR_INSTALL_PACKAGE_INVALID : ERROR_SUCCESS;
}
