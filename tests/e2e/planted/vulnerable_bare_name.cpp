/* Vulnerable on purpose (a test build only): system DLLs loaded by bare name,
 * so the DLL search order decides where they come from.  Replaces
 * src/common/system_library.cpp. */
#include "common/system_library.h"

HMODULE LoadSystemLibrary(const char *fileName)
{
    return LoadLibraryA(fileName);
}
