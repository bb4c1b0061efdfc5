#include "common/launch_folder.h"

#include <string.h>

char g_launchFolder[MAX_PATH];

int CaptureLaunchFolder(void)
{
    DWORD length = GetCurrentDirectoryA(sizeof g_launchFolder, g_launchFolder);
    /* A failed read, or one that needs more room, leaves no usable folder. */
    if (length == 0 || length >= sizeof g_launchFolder) {
        g_launchFolder[0] = '\0';
        return 0;
    }
    return strlen(g_launchFolder) <= LAUNCH_FOLDER_LIMIT;
}
