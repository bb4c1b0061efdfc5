#include "common/shell_functions.h"

#include "common/system_library.h"

typedef BOOL(WINAPI *PathFunction)(LPCSTR path);
typedef BOOL(WINAPI *ShellExecuteExFunction)(SHELLEXECUTEINFOA *info);

typedef void (*AnyFunction)(void);

static HMODULE g_shlwapi;
static HMODULE g_shell32;

/* Looks name up in the system folder's library, loaded once on first use and
 * kept for the rest of the process.  NULL when either cannot be had. */
static AnyFunction FindShellFunction(HMODULE *module, const char *library, const char *name)
{
    if (!*module) *module = LoadSystemLibrary(library);
    return *module ? (AnyFunction)GetProcAddress(*module, name) : NULL;
}

BOOL SystemPathFileExists(const char *path)
{
    PathFunction exists = (PathFunction)FindShellFunction(&g_shlwapi, "shlwapi.dll", "PathFileExistsA");
    return exists ? exists(path) : FALSE;
}

BOOL SystemPathIsUNC(const char *path)
{
    PathFunction isUnc = (PathFunction)FindShellFunction(&g_shlwapi, "shlwapi.dll", "PathIsUNCA");
    return isUnc ? isUnc(path) : FALSE;
}

BOOL SystemShellExecuteEx(SHELLEXECUTEINFOA *info)
{
    ShellExecuteExFunction execute =
        (ShellExecuteExFunction)FindShellFunction(&g_shell32, "shell32.dll", "ShellExecuteExA");
    return execute ? execute(info) : FALSE;
}
