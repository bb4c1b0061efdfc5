/* The source files a driver package's INF names for each platform it
 * serves, where its [SourceDisksNames] and [SourceDisksFiles] sections put
 * them: the system's staging tool refuses a package that lacks one. */
#ifndef SETUPINFO_INF_SOURCES_H
#define SETUPINFO_INF_SOURCES_H

/* Called for each file missing: the platform ("amd64"), the file as the INF
 * names it, and where it was looked for. */
typedef void (*MissingSourceFunction)(const char *architecture, const char *file, const char *path);

/* Looks for every file the INF at infPath names for x86, amd64 and arm64
 * where it offers models for them, below the INF's folder.  Returns how
 * many are missing. */
int FindMissingSources(const char *infPath, MissingSourceFunction missing);

#endif
