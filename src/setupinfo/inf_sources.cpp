#include "setupinfo/inf_sources.h"

#include <string.h>
#include <windows.h>

#include "common/bounded.h"
#include "common/names.h"
#include "common/shell_functions.h"
#include "setupinfo/inf_file.h"
#include "setupinfo/inf_models.h"

#define DISK_FIELD_TAG 1   /* disk-description, tag-or-cab-file, unused, path */
#define DISK_FIELD_PATH 3

static const char *const ARCHITECTURES[] = {"x86", "amd64", "arm64"};

/* The section's decoration for architecture ("SourceDisksFiles.amd64"). */
static void Decorated(const char *section, const char *architecture, char (&name)[64])
{
    format_bounded(name, "%s.%s", section, architecture);
}

/* Item index of the INF's section/key, cleaned; empty when there is none. */
static void ReadItem(const char *infPath, const char *section, const char *key, int index, char (&item)[MAX_PATH])
{
    char line[MAX_PATH];
    GetPrivateProfileStringA(section, key, "", line, sizeof line, infPath);
    const char *list = line;
    item[0] = '\0';
    for (int i = 0; i <= index; i++)
        if (!ReadInfItem(&list, item)) item[0] = '\0';
}

/* True when the INF's section has the key. */
static int HasKey(const char *infPath, const char *section, const char *key)
{
    char value[2];
    return GetPrivateProfileStringA(section, key, "\x7f", value, sizeof value, infPath) != 1 || value[0] != 0x7f;
}

/* Where the disk diskId of architecture lies below the INF's folder: the
 * "path" of [SourceDisksNames.<architecture>], else of [SourceDisksNames]
 * ("INF SourceDisksNames Section").  0 for a disk whose files are in a cabinet. */
static int DiskFolder(const char *infPath, const char *architecture, const char *diskId, char (&folder)[MAX_PATH])
{
    char section[64], tag[MAX_PATH];
    Decorated("SourceDisksNames", architecture, section);
    if (!HasKey(infPath, section, diskId)) copy_bounded(section, "SourceDisksNames");
    ReadItem(infPath, section, diskId, DISK_FIELD_TAG, tag);
    size_t length = strlen(tag);
    if (length > 4 && IsName(tag + length - 4, ".cab")) return 0;
    ReadItem(infPath, section, diskId, DISK_FIELD_PATH, folder);
    return 1;
}

/* Appends part to path behind a backslash, the part's own leading one dropped. */
static void AppendPart(char (&path)[MAX_PATH], const char *part)
{
    while (*part == '\\') part++;
    if (!*part) return;
    append_bounded(path, "\\");
    append_bounded(path, part);
}

/* "file=diskid[,subdir[,size]]": looked for below the INF's folder. */
static int CheckSource(const char *infPath, const char *folder, const char *section, const char *architecture,
                       const char *file, MissingSourceFunction missing)
{
    char diskId[MAX_PATH], subfolder[MAX_PATH], disk[MAX_PATH], path[MAX_PATH];
    ReadItem(infPath, section, file, 0, diskId);
    ReadItem(infPath, section, file, 1, subfolder);
    if (!DiskFolder(infPath, architecture, diskId, disk)) return 0;
    copy_bounded(path, folder);
    AppendPart(path, disk);
    AppendPart(path, subfolder);
    AppendPart(path, file);
    if (SystemPathFileExists(path)) return 0;
    missing(architecture, file, path);
    return 1;
}

/* [SourceDisksFiles.<architecture>], then the files of [SourceDisksFiles]
 * it does not name again ("INF SourceDisksFiles Section"). */
static int CheckPlatform(const char *infPath, const char *folder, const char *architecture,
                         MissingSourceFunction missing)
{
    static char keys[SECTION_KEYS_SIZE];
    char sections[2][64];
    Decorated("SourceDisksFiles", architecture, sections[0]);
    copy_bounded(sections[1], "SourceDisksFiles");
    int count = 0;
    for (int s = 0; s < 2; s++) {
        ReadSectionKeys(infPath, sections[s], keys);
        for (const char *file = keys; *file; file += strlen(file) + 1) {
            if (s == 1 && HasKey(infPath, sections[0], file)) continue;
            count += CheckSource(infPath, folder, sections[s], architecture, file, missing);
        }
    }
    return count;
}

int FindMissingSources(const char *infPath, MissingSourceFunction missing)
{
    char folder[MAX_PATH];
    copy_bounded(folder, infPath);
    char *slash = strrchr(folder, '\\');
    if (slash) *slash = '\0';
    else copy_bounded(folder, ".");
    int count = 0;
    for (size_t i = 0; i < sizeof ARCHITECTURES / sizeof ARCHITECTURES[0]; i++) {
        InfPlatform platform = {ARCHITECTURES[i], 10, 0, 0xFFFFFFFF, 0};
        InfModels models;
        if (ReadInfModels(infPath, &platform, &models)) count += CheckPlatform(infPath, folder, ARCHITECTURES[i], missing);
    }
    return count;
}
