#include "startup/dll_search.h"

#include <windows.h>

typedef BOOL(WINAPI *SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryFn)(LPCSTR);

typedef void (*AnyFunction)(void);

/* kernel32 is already mapped before any code of ours runs; looking its
 * functions up keeps the executable loadable where they are missing. */
static AnyFunction FindLoaderFunction(const char *name)
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    return kernel ? (AnyFunction)GetProcAddress(kernel, name) : NULL;
}

int RestrictDllSearch(void)
{
    SetDefaultDllDirectoriesFn setDefault =
        (SetDefaultDllDirectoriesFn)FindLoaderFunction("SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return 1;
    /* An empty text removes the current folder from the search order. */
    SetDllDirectoryFn setDirectory = (SetDllDirectoryFn)FindLoaderFunction("SetDllDirectoryA");
    if (setDirectory) setDirectory("");
    return 0;
}
