/* The check made before installing: the INF names and the listed driver files. */
#ifndef SETUPINFO_DRIVER_ENTRIES_H
#define SETUPINFO_DRIVER_ENTRIES_H

#include <windows.h>

#define INF_TABLE_SLOTS 5

#define MSG_DRIVER_FILES_MISSING "Missing printer driver files.\nExit the program."

/* INF names as read from INFNAME (relative to the launch folder); slot 0 is
 * installed.  Written by CheckDriverEntries. */
extern char g_infTable[INF_TABLE_SLOTS][MAX_PATH];

/* Re-reads the setup file, fills the INF table and makes sure every FILELIST
 * entry exists under the launch folder.  Returns 1 when the package is
 * complete, 0 after showing why not (error boxes without owner). */
int CheckDriverEntries(void);

/* The check made before removing: INFITEM and INF0 valid, and the file INF0
 * names present under the launch folder, its path then in infPath.  The file
 * list is not looked at.  Returns 1, or 0 after showing why not (the setup
 * file's boxes, without owner). */
int CheckInfToRemove(char (&infPath)[MAX_PATH]);

#endif
