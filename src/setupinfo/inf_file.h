/* A driver package's INF read as Windows reads it: an INI file whose values
 * may be quoted, end in a comment and name %tokens% of its [Strings] section
 * ("General Syntax Rules for INF Files", "INF Strings Section"). */
#ifndef SETUPINFO_INF_FILE_H
#define SETUPINFO_INF_FILE_H

#include <windows.h>

#define SECTION_KEYS_SIZE 32768  /* the key names of one section */

/* Reads the key names of section of the profile file at path into keys, each
 * terminated, an empty name last (none: keys is empty). */
void ReadSectionKeys(const char *path, const char *section, char (&keys)[SECTION_KEYS_SIZE]);

/* Cleans a text as the profile functions read it from an INF: cut at a ';'
 * outside quotes, blanks trimmed, the quotes around quoted parts removed
 * ("" inside them is one quote). */
void CleanInfText(char *text);

/* text with each %token% replaced by its [Strings] value, cleaned; %% is a
 * percent sign, and a token [Strings] lacks stays as written. */
void ResolveInfTokens(const char *infPath, const char *text, char (&resolved)[MAX_PATH]);

/* The next comma-separated item of *list, cleaned, into item; *list moves
 * past it.  0 at the end of the list. */
int ReadInfItem(const char **list, char (&item)[MAX_PATH]);

/* Reads section/key of the INF, cleaned and its tokens resolved; empty when missing. */
void ReadInfText(const char *infPath, const char *section, const char *key, char (&value)[MAX_PATH]);

/* The INF's DriverVer, version and date, and its Provider: "version
 * 1.0.0.0 of 12/08/2026, provider ZEMBRIX". */
void DescribeInf(const char *infPath, char (&text)[2 * MAX_PATH]);

#endif
