#include "common/shell_functions.h"

#include "common/system_library.h"

typedef BOOL(WINAPI *PathFunction)(LPCSTR path);
typedef BOOL(WINAPI *ShellExecuteExFunction)(SHELLEXECUTEINFOA *info);
typedef HRESULT(WINAPI *CoInitializeExFunction)(LPVOID reserved, DWORD model);
typedef void(WINAPI *CoUninitializeFunction)(void);

BOOL SystemPathFileExists(const char *path)
{
    PathFunction exists = (PathFunction)FindSystemFunction("shlwapi.dll", "PathFileExistsA");
    return exists ? exists(path) : FALSE;
}

BOOL SystemPathIsUNC(const char *path)
{
    PathFunction isUnc = (PathFunction)FindSystemFunction("shlwapi.dll", "PathIsUNCA");
    return isUnc ? isUnc(path) : FALSE;
}

BOOL SystemShellExecuteEx(SHELLEXECUTEINFOA *info)
{
    ShellExecuteExFunction execute = (ShellExecuteExFunction)FindSystemFunction("shell32.dll", "ShellExecuteExA");
    return execute ? execute(info) : FALSE;
}

int StartComApartment(void)
{
    CoInitializeExFunction initialize = (CoInitializeExFunction)FindSystemFunction("ole32.dll", "CoInitializeEx");
    /* S_FALSE (already initialised so) also wants its CoUninitialize. */
    return initialize && SUCCEEDED(initialize(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void StopComApartment(void)
{
    CoUninitializeFunction uninitialize = (CoUninitializeFunction)FindSystemFunction("ole32.dll", "CoUninitialize");
    if (uninitialize) uninitialize();
}
