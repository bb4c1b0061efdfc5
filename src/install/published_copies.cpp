#include "install/published_copies.h"

#include <string.h>

#include "common/bounded.h"
#include "common/launch_log.h"
#include "common/names.h"
#include "common/system_library.h"
#include "setupinfo/inf_file.h"

#include <setupapi.h>

typedef BOOL(WINAPI *GetInfInformationFunction)(LPCVOID spec, DWORD search, PSP_INF_INFORMATION information,
                                                DWORD size, PDWORD needed);
typedef BOOL(WINAPI *QueryOriginalFileFunction)(PSP_INF_INFORMATION information, UINT index,
                                                PSP_ALTPLATFORM_INFO platform, PSP_ORIGINAL_FILE_INFO_A original);

#define INF_INFORMATION_SIZE 8192

#define COMPARE_CHUNK 65536

/* The INF folder, which WOW64 does not redirect ("File System Redirector"),
 * and the files of it matching name ("oem*.inf"). */
static int BuildInfPath(char (&path)[MAX_PATH], const char *name)
{
    return BuildWindowsPath(path, "\\INF\\", name);
}

static HANDLE OpenToRead(const char *path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
}

/* "oemN.inf": the search's pattern may also match on a file's short name
 * ("oem1.info" is OEM1~1.INF). */
static int IsPublishedName(const char *name)
{
    size_t length = strlen(name);
    if (length < 8 || length >= PUBLISHED_NAME_SIZE || !StartsWithName(name, "oem") || !IsName(name + length - 4, ".inf"))
        return 0;
    for (const char *digit = name + 3; digit < name + length - 4; digit++)
        if (*digit < '0' || *digit > '9') return 0;
    return 1;
}

/* True when the two open files hold the same bytes from where they are. */
static int SameBytes(HANDLE one, HANDLE other)
{
    static BYTE first[COMPARE_CHUNK], second[COMPARE_CHUNK];
    for (;;) {
        DWORD got = 0, gotOther = 0;
        if (!ReadFile(one, first, sizeof first, &got, NULL) || !ReadFile(other, second, sizeof second, &gotOther, NULL))
            return 0;
        if (got != gotOther || memcmp(first, second, got) != 0) return 0;
        if (got == 0) return 1;
    }
}

/* Calls visit for each published INF ("oemN.inf") in the INF folder with
 * its full path.  0 when the folder cannot be read. */
typedef void (*PublishedInfVisitor)(const WIN32_FIND_DATAA *found, const char *path, void *context);

static int ForEachPublishedInf(PublishedInfVisitor visit, void *context)
{
    char pattern[MAX_PATH], path[MAX_PATH];
    WIN32_FIND_DATAA found;
    if (!BuildInfPath(pattern, "oem*.inf")) return 0;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsPublishedName(found.cFileName) &&
            BuildInfPath(path, found.cFileName))
            visit(&found, path, context);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return 1;
}

struct CopySearch {
    const char *infPath;
    WIN32_FILE_ATTRIBUTE_DATA inf;
    PublishedCopies *copies;
};

/* "All .inf files with names of the form OEM*.inf are enumerated and any
 * files that have the same file size as the specified .inf file are binary
 * compared" (SetupCopyOEMInf). */
static void NoteIfCopy(const WIN32_FIND_DATAA *found, const char *path, void *context)
{
    CopySearch *search = (CopySearch *)context;
    PublishedCopies *copies = search->copies;
    if (copies->count >= PUBLISHED_COPIES_MAX || found->nFileSizeLow != search->inf.nFileSizeLow ||
        found->nFileSizeHigh != search->inf.nFileSizeHigh)
        return;
    HANDLE inf = OpenToRead(search->infPath);
    HANDLE copy = OpenToRead(path);
    if (inf != INVALID_HANDLE_VALUE && copy != INVALID_HANDLE_VALUE && SameBytes(inf, copy))
        copy_bounded(copies->names[copies->count++], found->cFileName);
    if (inf != INVALID_HANDLE_VALUE) CloseHandle(inf);
    if (copy != INVALID_HANDLE_VALUE) CloseHandle(copy);
}

int FindPublishedCopies(const char *infPath, PublishedCopies *copies)
{
    CopySearch search = {infPath, {}, copies};
    copies->count = 0;
    return GetFileAttributesExA(infPath, GetFileExInfoStandard, &search.inf) &&
           ForEachPublishedInf(NoteIfCopy, &search);
}

/* The name the INF at path had before Windows published it
 * ("SetupQueryInfOriginalFileInformation").  0 where it cannot be read. */
static int OriginalName(const char *path, char (&name)[MAX_PATH])
{
    static BYTE buffer[INF_INFORMATION_SIZE];
    GetInfInformationFunction getInformation =
        (GetInfInformationFunction)FindSystemFunction("setupapi.dll", "SetupGetInfInformationA");
    QueryOriginalFileFunction queryOriginal =
        (QueryOriginalFileFunction)FindSystemFunction("setupapi.dll", "SetupQueryInfOriginalFileInformationA");
    PSP_INF_INFORMATION information = (PSP_INF_INFORMATION)buffer;
    SP_ORIGINAL_FILE_INFO_A original;
    original.cbSize = sizeof original;
    DWORD needed;
    if (!getInformation || !queryOriginal ||
        !getInformation(path, INFINFO_INF_NAME_IS_ABSOLUTE, information, sizeof buffer, &needed) ||
        !queryOriginal(information, 0, NULL, &original))
        return 0;
    return copy_bounded(name, original.OriginalInfName);
}

static int IsOneOf(const PublishedCopies *copies, const char *name)
{
    for (int i = 0; i < copies->count; i++)
        if (IsName(copies->names[i], name)) return 1;
    return 0;
}

struct VersionSearch {
    const char *name;
    const PublishedCopies *copies;
    char provider[MAX_PATH];
};

static void LogIfOtherVersion(const WIN32_FIND_DATAA *found, const char *path, void *context)
{
    VersionSearch *search = (VersionSearch *)context;
    char theirs[MAX_PATH], original[MAX_PATH], text[2 * MAX_PATH];
    if (IsOneOf(search->copies, found->cFileName) || !OriginalName(path, original) || !IsName(original, search->name))
        return;
    ReadInfText(path, "Version", "Provider", theirs);
    if (!IsName(theirs, search->provider)) return;
    DescribeInf(path, text);
    LogLine("Still published: %s (%s)", found->cFileName, text);
}

void LogOtherVersions(const char *infPath, const PublishedCopies *copies)
{
    VersionSearch search;
    const char *slash = strrchr(infPath, '\\');
    search.name = slash ? slash + 1 : infPath;
    search.copies = copies;
    ReadInfText(infPath, "Version", "Provider", search.provider);
    ForEachPublishedInf(LogIfOtherVersion, &search);
}

void LogPublishedCopies(const char *infPath)
{
    PublishedCopies copies;
    if (!FindPublishedCopies(infPath, &copies)) {
        LogLine("Published copies of %s: the INF folder cannot be read", infPath);
        return;
    }
    if (copies.count == 0) LogLine("Published as: no oem*.inf in the INF folder holds %s", infPath);
    for (int i = 0; i < copies.count; i++) LogLine("Published as %s", copies.names[i]);
}
