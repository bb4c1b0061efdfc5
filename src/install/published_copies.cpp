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

/* "All .inf files with names of the form OEM*.inf are enumerated and any
 * files that have the same file size as the specified .inf file are binary
 * compared" (SetupCopyOEMInf). */
static int IsCopy(const char *infPath, const WIN32_FIND_DATAA *found, DWORD sizeLow, DWORD sizeHigh)
{
    char path[MAX_PATH];
    if (found->nFileSizeLow != sizeLow || found->nFileSizeHigh != sizeHigh) return 0;
    if ((found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsPublishedName(found->cFileName) ||
        !BuildInfPath(path, found->cFileName))
        return 0;
    HANDLE inf = OpenToRead(infPath);
    HANDLE copy = OpenToRead(path);
    int same = inf != INVALID_HANDLE_VALUE && copy != INVALID_HANDLE_VALUE && SameBytes(inf, copy);
    if (inf != INVALID_HANDLE_VALUE) CloseHandle(inf);
    if (copy != INVALID_HANDLE_VALUE) CloseHandle(copy);
    return same;
}

int FindPublishedCopies(const char *infPath, PublishedCopies *copies)
{
    copies->count = 0;
    WIN32_FILE_ATTRIBUTE_DATA inf;
    char pattern[MAX_PATH];
    if (!GetFileAttributesExA(infPath, GetFileExInfoStandard, &inf) || !BuildInfPath(pattern, "oem*.inf")) return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (copies->count < PUBLISHED_COPIES_MAX && IsCopy(infPath, &found, inf.nFileSizeLow, inf.nFileSizeHigh))
            copy_bounded(copies->names[copies->count++], found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return 1;
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

void LogOtherVersions(const char *infPath, const PublishedCopies *copies)
{
    char pattern[MAX_PATH], path[MAX_PATH], provider[MAX_PATH], theirs[MAX_PATH], original[MAX_PATH];
    char text[2 * MAX_PATH];
    const char *slash = strrchr(infPath, '\\');
    const char *name = slash ? slash + 1 : infPath;
    ReadInfText(infPath, "Version", "Provider", provider);
    WIN32_FIND_DATAA found;
    HANDLE search = BuildInfPath(pattern, "oem*.inf") ? FindFirstFileA(pattern, &found) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!IsPublishedName(found.cFileName) || IsOneOf(copies, found.cFileName) ||
            !BuildInfPath(path, found.cFileName) || !OriginalName(path, original) || !IsName(original, name))
            continue;
        ReadInfText(path, "Version", "Provider", theirs);
        if (!IsName(theirs, provider)) continue;
        DescribeInf(path, text);
        LogLine("Still published: %s (%s)", found.cFileName, text);
    } while (FindNextFileA(search, &found));
    FindClose(search);
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
