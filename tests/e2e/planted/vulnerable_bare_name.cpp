/* Vulnerable on purpose (a test build only): system DLLs loaded by bare name,
 * so the DLL search order decides where they come from.  Replaces
 * src/common/system_library.cpp. */
#include "common/system_library.h"

HMODULE LoadSystemLibrary(const char *fileName)
{
    return LoadLibraryA(fileName);
}

SystemFunction FindSystemFunction(const char *library, const char *name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module) module = LoadSystemLibrary(library);
    return module ? (SystemFunction)GetProcAddress(module, name) : NULL;
}
