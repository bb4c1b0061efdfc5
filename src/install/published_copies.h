/* The copies Windows published of a package's INF: the oem*.inf files that
 * staging made in the system's INF folder, and that removing it takes away. */
#ifndef INSTALL_PUBLISHED_COPIES_H
#define INSTALL_PUBLISHED_COPIES_H

#include <windows.h>

#define PUBLISHED_COPIES_MAX 32
#define PUBLISHED_NAME_SIZE 32  /* "oem12345.inf" and its terminator, with room */

struct PublishedCopies {
    int count;
    char names[PUBLISHED_COPIES_MAX][PUBLISHED_NAME_SIZE];  /* file names in the INF folder */
};

/* Finds the published copies of the INF at infPath as Windows itself finds
 * them: every %windir%\INF\oem*.inf of the same size and the same bytes.
 * Returns 1 with copies filled (count 0: none), 0 when the INF or the INF
 * folder cannot be read. */
int FindPublishedCopies(const char *infPath, PublishedCopies *copies);

/* Logs each copy as "Published as oemN.inf", or that there is none. */
void LogPublishedCopies(const char *infPath);

/* Logs each oem*.inf that is none of copies but was published from an INF of
 * the same name and provider as the one at infPath (another version of the
 * package), with its version: what of the driver stays on the PC. */
void LogOtherVersions(const char *infPath, const PublishedCopies *copies);

#endif
