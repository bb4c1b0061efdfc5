/* The setup file's two lists, the INF names and the driver files, and how an
 * entry is read and judged: one set of rules for the launcher's checks and
 * for the package check, so that the two cannot drift apart. */
#ifndef SETUPINFO_SETUP_LISTS_H
#define SETUPINFO_SETUP_LISTS_H

#include <windows.h>

/* A count key and the numbered entries it counts. */
struct SetupList {
    const char *countSection;  /* INFNUM, FILENUM */
    const char *countKey;      /* INFITEM, FILEITEM */
    const char *section;       /* INFNAME, FILELIST */
    const char *keyPrefix;     /* INF, FL: the entries are INF0, INF1, ... */
    int quotesRefused;         /* the entries go between double quotes in the staging command */
};

extern const SetupList INF_LIST;
extern const SetupList FILE_LIST;

/* How the launcher judges an entry. */
enum EntryVerdict {
    ENTRY_VALID,
    ENTRY_MISSING,  /* missing, empty or "unknown" */
    ENTRY_QUOTED    /* holds a double quote, in a list that refuses them */
};

/* One entry as the launcher reads it: at most 254 bytes. */
struct SetupEntry {
    char key[16];
    char value[MAX_PATH];
    EntryVerdict verdict;
    int cut;  /* the value in the file is longer: the launcher reads its first 254 bytes */
};

/* The list's count as the launcher reads it: signed, 0 when missing or not a
 * number (an error), a negative count checks nothing. */
int ReadListCount(const char *path, const SetupList *list);

/* Reads section/key of the setup file at path as the launcher reads a value
 * (quotesRefused: as it reads an INF name). */
void ReadSetupEntry(const char *path, const char *section, const char *key, int quotesRefused, SetupEntry *entry);

/* Reads entry index of list from the setup file at path. */
void ReadListEntry(const char *path, const SetupList *list, int index, SetupEntry *entry);

#endif
