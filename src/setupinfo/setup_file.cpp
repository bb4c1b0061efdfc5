#include "setupinfo/setup_file.h"

#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/launch_folder.h"
#include "common/launch_log.h"
#include "common/outcome.h"
#include "common/shell_functions.h"
#include "common/system_probes.h"
#include "common/user_message.h"

char g_baseName[MAX_PATH];
char g_captionText[MAX_PATH];

int FolderNeedsBackslash(const char *folder)
{
    OSVERSIONINFOEXA version;
    int nineX = QueryVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    return !(nineX && strlen(folder) == 3 && !SystemPathIsUNC(folder));
}

void ReadBaseName(void)
{
    char modulePath[MAX_PATH] = "";
    char drive[MAX_PATH], dir[MAX_PATH], ext[MAX_PATH];
    GetModuleFileNameA(NULL, modulePath, sizeof modulePath);
    modulePath[sizeof modulePath - 1] = '\0';
    _splitpath(modulePath, drive, dir, g_baseName, ext);
}

/* folder, the join, the base name and ".INI" (cut at 259 bytes). */
static void BuildSetupFilePathIn(const char *folder, char (&path)[MAX_PATH])
{
    ReadBaseName();
    copy_bounded(path, folder);
    if (FolderNeedsBackslash(folder)) append_bounded(path, "\\");
    append_bounded(path, g_baseName);
    append_bounded(path, ".INI");
}

void BuildSetupFilePath(char (&path)[MAX_PATH]) { BuildSetupFilePathIn(g_launchFolder, path); }

static int HoldsSetupFile(const char *folder)
{
    char path[MAX_PATH];
    BuildSetupFilePathIn(folder, path);
    return folder[0] && SystemPathFileExists(path);
}

void ChooseLaunchFolder(int besideProgram, LaunchFolderChoice *choice)
{
    memset(choice, 0, sizeof *choice);
    DWORD length = GetCurrentDirectoryA(sizeof choice->folder, choice->folder);
    if (length == 0 || length >= sizeof choice->folder) choice->folder[0] = '\0';
    /* '?' is no character of a file name ("Naming Files, Paths, and
     * Namespaces"): the ANSI code page had none for one of the name's. */
    if (strchr(choice->folder, '?')) copy_bounded(choice->note, " (its name has characters the ANSI code page lacks)");
    if (!besideProgram || HoldsSetupFile(choice->folder)) return;
    char program[MAX_PATH] = "", exe[MAX_PATH];
    GetModuleFileNameA(NULL, program, sizeof program);
    program[sizeof program - 1] = '\0';
    char *slash = strrchr(program, '\\');
    if (!slash) return;
    copy_bounded(exe, slash + 1);
    /* A drive root keeps its backslash, as the current folder gives it. */
    slash[slash == program + 2 && program[1] == ':' ? 1 : 0] = '\0';
    char note[LAUNCH_NOTE_SIZE];
    if (!HoldsSetupFile(program)) {
        format_bounded(note, " (no %s.INI; nor in the folder of %s, %s)", g_baseName, exe, program);
        append_bounded(choice->note, note);
        return;
    }
    format_bounded(choice->note, " (the folder of %s; the current folder %s has no %s.INI)", exe, choice->folder,
                   g_baseName);
    copy_bounded(choice->folder, program);
    choice->ofProgram = 1;
}

void ReadSetupValue(const char *path, const char *section, const char *key, char (&value)[MAX_PATH])
{
    GetPrivateProfileStringA(section, key, SETUP_VALUE_MISSING, value, SETUP_VALUE_SIZE, path);
}

int IsValidSetupValue(const char *value)
{
    return value[0] != '\0' && strcmp(value, SETUP_VALUE_MISSING) != 0;
}

int FindSetupFile(const char *path)
{
    if (SystemPathFileExists(path)) return 1;
    LogLine("Setup file not found: %s", path);
    ReportOutcome(NULL, MSG_SETUP_FILE_MISSING, MB_KIND_ERROR, ERROR_INSTALL_PACKAGE_OPEN_FAILED);
    return 0;
}

/* A folder, or a file this process may not read, passes the existence test
 * and then gives no values. */
static int SetupFileReadable(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    CloseHandle(file);
    return 1;
}

int RefuseSetupFile(const char *path)
{
    DWORD code = ERROR_INSTALL_PACKAGE_INVALID;
    if (!SetupFileReadable(path)) {
        LogLine("Setup file cannot be read (error %lu): %s", (unsigned long)GetLastError(), path);
        code = ERROR_INSTALL_PACKAGE_OPEN_FAILED;
    }
    ReportOutcome(NULL, MSG_SETUP_FILE_FAILED, MB_KIND_ERROR, code);
    return 0;
}

/* Reads section/key into value; logs it when it is missing, empty or "unknown". */
static int ReadRequiredValue(const char *path, const char *section, const char *key, char (&value)[MAX_PATH])
{
    ReadSetupValue(path, section, key, value);
    if (IsValidSetupValue(value)) return 1;
    LogLine("Setup file: [%s] %s is missing, empty or \"%s\"", section, key, SETUP_VALUE_MISSING);
    return 0;
}

int CheckSetupFileAtStart(void)
{
    char path[MAX_PATH];
    char value[MAX_PATH];
    BuildSetupFilePath(path);
    if (!FindSetupFile(path)) return 0;
    if (!ReadRequiredValue(path, "MODEL", "MODEL", value)) return RefuseSetupFile(path);
    copy_bounded(g_captionText, value); /* at most 254 bytes, as read */
    if (!ReadRequiredValue(path, "LANGUAGEMENU", "LANGUAGEMENU", value)) return RefuseSetupFile(path);
    LogLine("Setup file: %s, model %s", path, g_captionText);
    return 1;
}
