/* The folder the launcher was started from: the current directory at start. */
#ifndef COMMON_LAUNCH_FOLDER_H
#define COMMON_LAUNCH_FOLDER_H

#include <windows.h>

#define LAUNCH_FOLDER_LIMIT 100

/* Written once by CaptureLaunchFolder; every relative path is resolved against it. */
extern char g_launchFolder[MAX_PATH];

/* Reads the current directory.  Returns 1 when it fits the limit of 100 bytes,
 * 0 when it is longer or could not be read whole (the folder is then empty). */
int CaptureLaunchFolder(void);

/* Takes folder (empty: it could not be read) as the launch folder.  Returns
 * 1 when it fits the limit, 0 when it is empty or longer. */
int AdoptLaunchFolder(const char *folder);

#endif
