#include "setupinfo/setup_lists.h"

#include <string.h>

#include "common/bounded.h"
#include "setupinfo/setup_file.h"

#define LONG_VALUE_SIZE 1024  /* room to see that a value goes on past what the launcher reads */

const SetupList INF_LIST = {"INFNUM", "INFITEM", "INFNAME", "INF", 1};
const SetupList FILE_LIST = {"FILENUM", "FILEITEM", "FILELIST", "FL", 0};

int ReadListCount(const char *path, const SetupList *list)
{
    return (int)GetPrivateProfileIntA(list->countSection, list->countKey, 0, path);
}

/* A value of 254 bytes may be the first 254 of a longer one. */
static int ValueGoesOn(const char *path, const char *section, const SetupEntry *entry)
{
    if (strlen(entry->value) < SETUP_VALUE_SIZE - 1) return 0;
    char whole[LONG_VALUE_SIZE];
    GetPrivateProfileStringA(section, entry->key, SETUP_VALUE_MISSING, whole, sizeof whole, path);
    return strlen(whole) >= SETUP_VALUE_SIZE;
}

void ReadSetupEntry(const char *path, const char *section, const char *key, int quotesRefused, SetupEntry *entry)
{
    copy_bounded(entry->key, key);
    ReadSetupValue(path, section, entry->key, entry->value);
    entry->cut = ValueGoesOn(path, section, entry);
    if (!IsValidSetupValue(entry->value)) entry->verdict = ENTRY_MISSING;
    else if (quotesRefused && strchr(entry->value, '"')) entry->verdict = ENTRY_QUOTED;
    else entry->verdict = ENTRY_VALID;
}

void ReadListEntry(const char *path, const SetupList *list, int index, SetupEntry *entry)
{
    char key[sizeof entry->key];
    format_bounded(key, "%s%d", list->keyPrefix, index);
    ReadSetupEntry(path, list->section, key, list->quotesRefused, entry);
}
