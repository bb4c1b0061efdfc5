#include "common/launch_folder.h"

#include <string.h>

#include "common/bounded.h"

char g_launchFolder[MAX_PATH];

int CaptureLaunchFolder(void)
{
    DWORD length = GetCurrentDirectoryA(sizeof g_launchFolder, g_launchFolder);
    /* A failed read, or one that needs more room, leaves no usable folder. */
    if (length == 0 || length >= sizeof g_launchFolder) g_launchFolder[0] = '\0';
    return AdoptLaunchFolder(g_launchFolder);
}

int AdoptLaunchFolder(const char *folder)
{
    if (folder != g_launchFolder) copy_bounded(g_launchFolder, folder);
    return g_launchFolder[0] != '\0' && strlen(g_launchFolder) <= LAUNCH_FOLDER_LIMIT;
}
