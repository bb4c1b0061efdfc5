#include "setupinfo/package_check.h"

#include <string.h>
#include <windows.h>

#include "common/bounded.h"
#include "common/console.h"
#include "common/launch_folder.h"
#include "common/launch_log.h"
#include "common/names.h"
#include "common/shell_functions.h"
#include "setupinfo/driver_entries.h"
#include "setupinfo/inf_file.h"
#include "setupinfo/inf_models.h"
#include "setupinfo/inf_sources.h"
#include "setupinfo/setup_file.h"
#include "setupinfo/setup_lists.h"

#define ENTRY_LIMIT 1000            /* entries of a list that are checked */
#define SAMPLE_SIZE 65536           /* the setup file's bytes looked at for its encoding */
#define SHORTEST_FOLDER 3           /* a drive root such as "C:\" */
/* Behind a launch folder: a backslash and the entry, within 259 bytes; the
 * staging parameters add -a, a space, two quotes and a backslash to INF0. */
#define PATH_ROOM (MAX_PATH - 1 - 1)
#define STAGING_ROOM (MAX_PATH - 1 - 6)

enum ProblemKind { PROBLEM_WARNING, PROBLEM_ERROR };

/* One check's findings so far. */
static struct {
    char setupFile[MAX_PATH];
    char files[ENTRY_LIMIT][MAX_PATH];  /* the file list as read */
    int fileCount;
    int errors;
    int warnings;
    int budget;                         /* longest launch folder allowed */
    char budgetKey[MAX_PATH];           /* the entry that sets it */
} g_check;

/* Reports one problem as "error: ..." or "warning: ..." and counts it. */
static void Problem(ProblemKind kind, const char *format, ...)
{
    char line[LOG_LINE_SIZE];
    copy_bounded(line, kind == PROBLEM_ERROR ? "error: " : "warning: ");
    append_bounded(line, format);
    if (kind == PROBLEM_ERROR) g_check.errors++;
    else g_check.warnings++;
    va_list args;
    va_start(args, format);
    ReportLineV(line, args);
    va_end(args);
}

/* The launch folder an entry of length bytes leaves, behind room. */
static void NoteBudget(const char *section, const char *key, size_t length, int room)
{
    int folder = room - (int)length;
    if (folder < SHORTEST_FOLDER)
        Problem(PROBLEM_ERROR, "[%s] %s: %u bytes, too long for any launch folder", section, key, (unsigned)length);
    if (folder < g_check.budget) {
        g_check.budget = folder;
        format_bounded(g_check.budgetKey, "[%s] %s", section, key);
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

/* Reports entry when the launcher would find it missing, empty, "unknown",
 * or read it cut; returns 1 when it is whole and valid otherwise. */
static int EntryWhole(const char *section, const SetupEntry *entry)
{
    if (entry->verdict == ENTRY_MISSING) {
        Problem(PROBLEM_ERROR, "[%s] %s: missing, empty or \"" SETUP_VALUE_MISSING "\"", section, entry->key);
        return 0;
    }
    if (entry->cut) {
        Problem(PROBLEM_ERROR, "[%s] %s: over 254 bytes, read cut", section, entry->key);
        return 0;
    }
    return 1;
}

/* Reads section/key as the launcher does, and reports it when it is wanting. */
static void CheckValue(const char *section, const char *key)
{
    SetupEntry entry;
    ReadSetupEntry(g_check.setupFile, section, key, 0, &entry);
    EntryWhole(section, &entry);
}

/* A list's count as the launcher reads it; 0 (missing, or not a number) is an error. */
static int ReadCount(const SetupList *list)
{
    int count = ReadListCount(g_check.setupFile, list);
    if (count == 0) Problem(PROBLEM_ERROR, "[%s] %s: 0, missing or not a number", list->countSection, list->countKey);
    if (count > ENTRY_LIMIT) {
        Problem(PROBLEM_ERROR, "[%s] %s=%d: over 1000 entries", list->countSection, list->countKey, count);
        count = ENTRY_LIMIT;
    }
    return count;
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
static void WarnBeyondCount(const SetupList *list, int count)
{
    static char keys[SECTION_KEYS_SIZE];
    ReadSectionKeys(g_check.setupFile, list->section, keys);
    for (const char *key = keys; *key; key += strlen(key) + 1) {
        int number = EntryNumber(key, list->keyPrefix);
        if (number >= 0 && number >= count)
            Problem(PROBLEM_WARNING, "[%s] %s: beyond %s=%d, never read", list->section, key, list->countKey,
                    count);
    }
}

static int Listed(const char *name)
{
    for (int i = 0; i < g_check.fileCount; i++)
        if (IsName(g_check.files[i], name)) return i;
    return -1;
}

/* Reads the file list, reporting every entry that is wanting, listed twice
 * or missing from the package. */
static void CheckFileList(void)
{
    int count = ReadCount(&FILE_LIST);
    if (count < 0) Problem(PROBLEM_WARNING, "[FILENUM] FILEITEM=%d: negative, no file is checked", count);
    WarnBeyondCount(&FILE_LIST, count);
    SetupEntry entry;
    for (int j = 0; j < count; j++) {
        ReadListEntry(g_check.setupFile, &FILE_LIST, j, &entry);
        if (!EntryWhole(FILE_LIST.section, &entry)) continue;
        int twice = Listed(entry.value);
        if (twice >= 0)
            Problem(PROBLEM_WARNING, "[FILELIST] %s=%s: listed twice (FL%d)", entry.key, entry.value, twice);
        copy_bounded(g_check.files[g_check.fileCount++], entry.value);
        if (!Exists(entry.value)) Problem(PROBLEM_ERROR, "[FILELIST] %s=%s: missing", entry.key, entry.value);
        NoteBudget(FILE_LIST.section, entry.key, strlen(entry.value), PATH_ROOM);
    }
}

/* Every CatalogFile key of the INF's [Version] section names a catalog that
 * must lie in the INF's folder.  Returns how many it names. */
static int CheckCatalogs(const char *key, const char *name, const char *infPath)
{
    int named = 0;
    static char keys[SECTION_KEYS_SIZE];
    ReadSectionKeys(infPath, "Version", keys);
    const char *slash = strrchr(name, '\\');
    for (const char *entry = keys; *entry; entry += strlen(entry) + 1) {
        if (!IsName(entry, "CatalogFile") && !StartsWithName(entry, "CatalogFile.")) continue;
        char catalog[MAX_PATH];
        char path[MAX_PATH];
        GetPrivateProfileStringA("Version", entry, "", catalog, sizeof catalog, infPath);
        format_bounded(path, "%.*s%s", slash ? (int)(slash - name + 1) : 0, name, catalog);
        named += catalog[0] != '\0';
        if (catalog[0] && !Exists(path))
            Problem(PROBLEM_ERROR, "[INFNAME] %s=%s: %s %s missing", key, name, entry, path);
    }
    return named;
}

/* The INF being checked, for the report of its missing source files. */
static const char *g_sourcesKey, *g_sourcesInf;

static void ReportMissingSource(const char *architecture, const char *file, const char *path)
{
    (void)file;
    Problem(PROBLEM_ERROR, "[INFNAME] %s=%s: NT%s: %s missing", g_sourcesKey, g_sourcesInf, architecture,
            path[0] == '.' && path[1] == '\\' ? path + 2 : path);
}

/* True when one of the INF's [Manufacturer] entries names models decorated
 * for platform ("%Maker%=Models,NTx86,NTamd64.10.0"): a platform not named
 * gets no model, and so no driver ("INF Manufacturer Section"). */
static int NamesModelsFor(const char *infPath, const char *platform)
{
    static char keys[SECTION_KEYS_SIZE];
    ReadSectionKeys(infPath, "Manufacturer", keys);
    size_t length = strlen(platform);
    for (const char *key = keys; *key; key += strlen(key) + 1) {
        char value[LOG_LINE_SIZE];
        GetPrivateProfileStringA("Manufacturer", key, "", value, sizeof value, infPath);
        const char *item = strchr(value, ',');
        while (item) {
            item++;
            while (*item == ' ' || *item == '\t') item++;
            if (StartsWithName(item, platform) && strchr(",. \t", item[length])) return 1;
            item = strchr(item, ',');
        }
    }
    return 0;
}

/* The models /model takes on each platform, as Windows 10 and 11 pick them. */
static void ListModels(const char *key, const char *name, const char *infPath)
{
    static const char *ARCHITECTURES[] = {"amd64", "arm64", "x86"};
    for (size_t i = 0; i < sizeof ARCHITECTURES / sizeof ARCHITECTURES[0]; i++) {
        InfPlatform platform = {ARCHITECTURES[i], 10, 0, 0xFFFFFFFF, 0};
        InfModels models;
        char names[MODEL_LIST_SIZE];
        ReadInfModels(infPath, &platform, &models);
        JoinModelNames(&models, names);
        ReportLine("[INFNAME] %s=%s: models for NT%s: %s", key, name, ARCHITECTURES[i], names);
    }
}

/* The PCs the launcher serves are mostly 64-bit, some ARM. */
static void CheckPlatforms(const char *key, const char *name, const char *infPath)
{
    if (!NamesModelsFor(infPath, "NTamd64"))
        Problem(PROBLEM_WARNING, "[INFNAME] %s=%s: [Manufacturer] names no NTamd64 models: nothing to install on "
                                 "64-bit Windows", key, name);
    if (!NamesModelsFor(infPath, "NTarm64"))
        Problem(PROBLEM_WARNING, "[INFNAME] %s=%s: [Manufacturer] names no NTarm64 models: nothing to install on "
                                 "ARM PCs", key, name);
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
    int catalogs = CheckCatalogs(key, name, path);
    if (!toInstall) return;
    /* "The third-party INF does not contain digital signature information":
     * 64-bit Windows stages no package without one. */
    if (!catalogs)
        Problem(PROBLEM_ERROR, "[INFNAME] %s=%s: names no catalog: it cannot be signed, and 64-bit Windows stages "
                               "no unsigned package", key, name);
    g_sourcesKey = key, g_sourcesInf = name;
    FindMissingSources(path, ReportMissingSource);
    CheckPlatforms(key, name, path);
    ListModels(key, name, path);
}

static void CheckInfList(void)
{
    int count = ReadCount(&INF_LIST);
    if (count < 0) Problem(PROBLEM_ERROR, "[INFNUM] INFITEM=%d: negative, nothing is installed", count);
    if (count > INF_TABLE_SLOTS) Problem(PROBLEM_WARNING, "[INFNUM] INFITEM=%d: over 5, only INF0 is installed", count);
    WarnBeyondCount(&INF_LIST, count);
    SetupEntry entry;
    for (int i = 0; i < count; i++) {
        ReadListEntry(g_check.setupFile, &INF_LIST, i, &entry);
        if (!EntryWhole(INF_LIST.section, &entry)) continue;
        if (entry.verdict == ENTRY_QUOTED) {
            Problem(PROBLEM_ERROR, "[INFNAME] %s=%s: holds a double quote", entry.key, entry.value);
            continue;
        }
        if (i == 0) NoteBudget(INF_LIST.section, entry.key, strlen(entry.value), STAGING_ROOM);
        CheckInf(entry.key, entry.value, i == 0);
    }
}

/* What Windows' profile reader makes of the setup file's bytes, where it
 * differs from what the launcher expects (and from Wine, which reads more). */
static void CheckEncoding(const char *name)
{
    static BYTE sample[SAMPLE_SIZE];
    DWORD got = 0;
    HANDLE file = CreateFileA(g_check.setupFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
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
    DWORD attributes = GetFileAttributesA(g_check.setupFile);
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

int CheckPackage(int *errors)
{
    char name[MAX_PATH];
    memset(&g_check, 0, sizeof g_check);
    g_check.budget = LAUNCH_FOLDER_LIMIT;
    ReadBaseName();
    format_bounded(name, "%s.INI", g_baseName);
    RelativePath(name, g_check.setupFile);
    ReportLine("Package check: %s", name);
    /* GetCurrentDirectoryA gives the size it needs when the folder does not fit. */
    char folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length >= sizeof folder) length--;
    if (length > LAUNCH_FOLDER_LIMIT)
        Problem(PROBLEM_WARNING, "this folder: %lu bytes, over 100: the launcher refuses to install from it",
                (unsigned long)length);
    if (CheckSetupFile(name)) {
        CheckValue("MODEL", "MODEL");
        CheckValue("LANGUAGEMENU", "LANGUAGEMENU");
        CheckFileList();
        CheckInfList();
        if (g_check.budget < LAUNCH_FOLDER_LIMIT)
            Problem(PROBLEM_WARNING, "%s: launch folder budget %d bytes, under 100", g_check.budgetKey,
                    g_check.budget);
        ReportLine("Longest launch folder: %d bytes", g_check.budget > 0 ? g_check.budget : 0);
    }
    ReportLine("%d error%s, %d warning%s", g_check.errors, g_check.errors == 1 ? "" : "s", g_check.warnings,
               g_check.warnings == 1 ? "" : "s");
    *errors = g_check.errors;
    return g_check.errors ? ERROR_INSTALL_PACKAGE_INVALID : ERROR_SUCCESS;
}
