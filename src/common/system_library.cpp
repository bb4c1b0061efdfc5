#include "common/system_library.h"

#include "common/bounded.h"

HMODULE LoadSystemLibrary(const char *fileName)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path) return NULL;
    if (!append_bounded(path, "\\") || !append_bounded(path, fileName)) return NULL;
    return LoadLibraryA(path);
}
