#include "common/system_probes.h"

#include <string.h>

#include "common/system_library.h"

typedef BOOL(WINAPI *IsWow64ProcessFunction)(HANDLE process, PBOOL wow64);
typedef BOOL(WINAPI *IsWow64Process2Function)(HANDLE process, USHORT *processMachine, USHORT *nativeMachine);

int QueryVersion(OSVERSIONINFOEXA *version)
{
    memset(version, 0, sizeof *version);
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (GetVersionExA((LPOSVERSIONINFOA)version)) return 1;
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return GetVersionExA((LPOSVERSIONINFOA)version) ? 1 : 0;
}

/* IsWow64Process2 names the process's machine, IMAGE_FILE_MACHINE_UNKNOWN when
 * it is not under WOW64, on x64 and ARM64 alike; IsWow64Process's answer on
 * ARM64 is not one its documentation settles.  Windows before 10 lacks the
 * former and some 32-bit systems the latter: a missing function means no. */
int IsWow64(void)
{
    IsWow64Process2Function isWow64Process2 =
        (IsWow64Process2Function)FindSystemFunction("kernel32.dll", "IsWow64Process2");
    USHORT processMachine = IMAGE_FILE_MACHINE_UNKNOWN;
    if (isWow64Process2 && isWow64Process2(GetCurrentProcess(), &processMachine, NULL))
        return processMachine != IMAGE_FILE_MACHINE_UNKNOWN;
    IsWow64ProcessFunction isWow64Process =
        (IsWow64ProcessFunction)FindSystemFunction("kernel32.dll", "IsWow64Process");
    if (!isWow64Process) return 0;
    BOOL wow64 = FALSE;
    isWow64Process(GetCurrentProcess(), &wow64);
    return wow64 ? 1 : 0;
}
