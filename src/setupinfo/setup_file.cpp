#include "setupinfo/setup_file.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/message.h"
#include "common/shell_functions.h"
#include "startup/launch_folder.h"
#include "startup/system_probes.h"

char g_baseName[MAX_PATH];
char g_captionText[MAX_PATH];

int FolderNeedsBackslash(const char *folder)
{
    OSVERSIONINFOEXA version;
    int nineX = QueryVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    return !(nineX && strlen(folder) == 3 && !SystemPathIsUNC(folder));
}

/* Keeps the executable's base name in g_baseName. */
static void ReadBaseName(void)
{
    char modulePath[MAX_PATH] = "";
    char drive[MAX_PATH], dir[MAX_PATH], ext[MAX_PATH];
    GetModuleFileNameA(NULL, modulePath, sizeof modulePath);
    modulePath[sizeof modulePath - 1] = '\0';
    _splitpath(modulePath, drive, dir, g_baseName, ext);
}

void BuildSetupFilePath(char (&path)[MAX_PATH])
{
    ReadBaseName();
    copy_bounded(path, g_launchFolder);
    if (FolderNeedsBackslash(g_launchFolder)) append_bounded(path, "\\");
    append_bounded(path, g_baseName);
    append_bounded(path, ".INI");
}

void ReadSetupValue(const char *path, const char *section, const char *key, char (&value)[MAX_PATH])
{
    GetPrivateProfileStringA(section, key, SETUP_VALUE_MISSING, value, SETUP_VALUE_SIZE, path);
}

int IsValidSetupValue(const char *value)
{
    return value[0] != '\0' && strcmp(value, SETUP_VALUE_MISSING) != 0;
}

int CheckSetupFileAtStart(void)
{
    char path[MAX_PATH];
    char value[MAX_PATH];
    BuildSetupFilePath(path);
    if (!SystemPathFileExists(path)) {
        ShowMessage(NULL, MSG_SETUP_FILE_MISSING, MB_KIND_ERROR);
        return 0;
    }
    ReadSetupValue(path, "MODEL", "MODEL", value);
    if (!IsValidSetupValue(value)) goto failed;
    copy_bounded(g_captionText, value); /* at most 254 bytes, as read */
    ReadSetupValue(path, "LANGUAGEMENU", "LANGUAGEMENU", value);
    if (!IsValidSetupValue(value)) goto failed;
    return 1;

failed:
    ShowMessage(NULL, MSG_SETUP_FILE_FAILED, MB_KIND_ERROR);
    return 0;
}
