#include "startup/dll_search.h"

#include <windows.h>

#include "common/system_library.h"

typedef BOOL(WINAPI *SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryFn)(LPCSTR);

/* kernel32 is mapped before any code of ours runs; looking its functions up
 * keeps the executable loadable where they are missing. */
int RestrictDllSearch(void)
{
    SetDefaultDllDirectoriesFn setDefault =
        (SetDefaultDllDirectoriesFn)FindSystemFunction("kernel32.dll", "SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return 1;
    /* An empty text removes the current folder from the search order. */
    SetDllDirectoryFn setDirectory = (SetDllDirectoryFn)FindSystemFunction("kernel32.dll", "SetDllDirectoryA");
    if (setDirectory) setDirectory("");
    return 0;
}
