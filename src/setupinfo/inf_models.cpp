#include "setupinfo/inf_models.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/names.h"
#include "common/system_probes.h"
#include "setupinfo/inf_file.h"

#define DECORATION_FIELDS 5  /* major, minor, product type, suite mask, build */
#define MANUFACTURER_LINE_SIZE 1024

/* One TargetOSVersion decoration, "NT[Architecture][.Major[.Minor[.ProductType[.SuiteMask[.Build]]]]]"
 * ("INF Manufacturer Section"); a field not given is 0 and not counted. */
struct Decoration {
    char architecture[16];
    DWORD fields[DECORATION_FIELDS];
    int given;  /* how many fields are given */
};

enum { FIELD_MAJOR, FIELD_MINOR, FIELD_PRODUCT, FIELD_SUITE, FIELD_BUILD };

const char *InfArchitecture(USHORT machine)
{
    switch (machine) {
    case IMAGE_FILE_MACHINE_AMD64: return "amd64";
    case IMAGE_FILE_MACHINE_ARM64: return "arm64";
    case IMAGE_FILE_MACHINE_I386: return "x86";
    default: return NULL;
    }
}

void ReadThisPlatform(InfPlatform *platform)
{
    memset(platform, 0, sizeof *platform);
    platform->architecture = InfArchitecture(NativeMachine());
    OSVERSIONINFOEXA version;
    if (QueryVersion(&version)) {
        platform->major = version.dwMajorVersion, platform->minor = version.dwMinorVersion;
        platform->build = version.dwBuildNumber, platform->productType = version.wProductType;
    }
    QueryRealVersion(&platform->major, &platform->minor, &platform->build);
}

/* Reads "NTamd64.10.0...17763" into decoration; 0 for a text that is none. */
static int ParseDecoration(const char *text, Decoration *decoration)
{
    memset(decoration, 0, sizeof *decoration);
    if (!StartsWithName(text, "nt")) return 0;
    text += 2;
    size_t length = strcspn(text, ".");
    if (length >= sizeof decoration->architecture) return 0;
    memcpy(decoration->architecture, text, length);
    text += length;
    for (int field = 0; field < DECORATION_FIELDS && *text == '.'; field++) {
        text++;
        char *end;
        DWORD value = (DWORD)strtoul(text, &end, 0);
        if (end == text) continue;
        decoration->fields[field] = value;
        decoration->given = field + 1;
        text = end;
    }
    return 1;
}

/* A decoration without an architecture serves x86 only: other platforms
 * must be named ("INF Manufacturer Section"). */
static int ServesPlatform(const Decoration *decoration, const InfPlatform *platform)
{
    const char *architecture = decoration->architecture[0] ? decoration->architecture : "x86";
    if (!IsName(architecture, platform->architecture)) return 0;
    const DWORD *field = decoration->fields;
    int given = decoration->given;
    if (given > FIELD_MAJOR && field[FIELD_MAJOR] > platform->major) return 0;
    int sameMajor = given <= FIELD_MAJOR || field[FIELD_MAJOR] == platform->major;
    if (sameMajor && given > FIELD_MINOR && field[FIELD_MINOR] > platform->minor) return 0;
    int sameVersion = sameMajor && (given <= FIELD_MINOR || field[FIELD_MINOR] == platform->minor);
    if (sameVersion && given > FIELD_BUILD && field[FIELD_BUILD] > platform->build) return 0;
    /* A product type Windows does not tell is not held against it. */
    return given <= FIELD_PRODUCT || !field[FIELD_PRODUCT] || !platform->productType ||
           field[FIELD_PRODUCT] == platform->productType;
}

/* "the section with the highest version numbers that are not higher than
 * the operating system version", then the one naming the most fields. */
static int Closer(const Decoration *one, const Decoration *other)
{
    static const int ORDER[] = {FIELD_MAJOR, FIELD_MINOR, FIELD_BUILD};
    for (int i = 0; i < 3; i++)
        if (one->fields[ORDER[i]] != other->fields[ORDER[i]]) return one->fields[ORDER[i]] > other->fields[ORDER[i]];
    return one->given > other->given;
}

/* The models section an entry "models-section-name[,TargetOSVersion]..."
 * names for platform: the closest decoration, else the undecorated section
 * on x86 only.  0 when it names none. */
static int ChooseModelsSection(const char *entry, const InfPlatform *platform, char (&section)[MAX_PATH])
{
    char item[MAX_PATH], best[MAX_PATH] = "";
    Decoration decoration, chosen = {};
    if (!ReadInfItem(&entry, section) || !section[0]) return 0;
    while (ReadInfItem(&entry, item)) {
        if (!ParseDecoration(item, &decoration) || !ServesPlatform(&decoration, platform)) continue;
        if (best[0] && !Closer(&decoration, &chosen)) continue;
        chosen = decoration;
        copy_bounded(best, item);
    }
    if (best[0]) return append_bounded(section, ".") && append_bounded(section, best);
    return IsName(platform->architecture, "x86");
}

static void AddModel(InfModels *models, const char *name)
{
    if (!name[0] || HasModel(models, name)) return;
    if (models->count == INF_MODELS_MAX) {
        models->cut = 1;
        return;
    }
    copy_bounded(models->names[models->count++], name);
}

/* The model names of one models section: its keys. */
static void ReadModelsSection(const char *infPath, const char *section, InfModels *models)
{
    static char keys[SECTION_KEYS_SIZE];
    ReadSectionKeys(infPath, section, keys);
    for (const char *key = keys; *key; key += strlen(key) + 1) {
        char raw[MAX_PATH], name[MAX_PATH];
        copy_bounded(raw, key);
        CleanInfText(raw);
        ResolveInfTokens(infPath, raw, name);
        AddModel(models, name);
    }
}

int ReadInfModels(const char *infPath, const InfPlatform *platform, InfModels *models)
{
    static char manufacturers[SECTION_KEYS_SIZE];
    memset(models, 0, sizeof *models);
    if (!platform->architecture) return 0;
    ReadSectionKeys(infPath, "Manufacturer", manufacturers);
    for (const char *key = manufacturers; *key; key += strlen(key) + 1) {
        char entry[MANUFACTURER_LINE_SIZE], section[MAX_PATH];
        GetPrivateProfileStringA("Manufacturer", key, "", entry, sizeof entry, infPath);
        /* "manufacturer-name" alone names its models section itself. */
        if (!entry[0]) copy_bounded(entry, key);
        if (ChooseModelsSection(entry, platform, section)) ReadModelsSection(infPath, section, models);
    }
    return models->count;
}

int HasModel(const InfModels *models, const char *name)
{
    for (int i = 0; i < models->count; i++)
        if (IsName(models->names[i], name)) return 1;
    return 0;
}

void JoinModelNames(const InfModels *models, char (&text)[MODEL_LIST_SIZE])
{
    copy_bounded(text, models->count ? "" : "none");
    for (int i = 0; i < models->count; i++) {
        if (i) append_bounded(text, ", ");
        append_bounded(text, "\"");
        append_bounded(text, models->names[i]);
        append_bounded(text, "\"");
    }
    if (models->cut) append_bounded(text, ", ...");
}
