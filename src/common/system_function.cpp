/* The system's functions and folders; how a system DLL is loaded is
 * system_library.cpp's alone (a test build replaces it). */
#include "common/system_library.h"

#include "common/bounded.h"

int BuildWindowsPath(char (&path)[MAX_PATH], const char *folder, const char *name)
{
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path) return 0;
    return append_bounded(path, folder) && append_bounded(path, name);
}

SystemFunction FindSystemFunction(const char *library, const char *name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module) module = LoadSystemLibrary(library);
    return module ? (SystemFunction)GetProcAddress(module, name) : NULL;
}
