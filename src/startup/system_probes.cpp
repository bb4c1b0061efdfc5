#include "startup/system_probes.h"

#include <string.h>

typedef BOOL(WINAPI *IsWow64ProcessFn)(HANDLE, PBOOL);
typedef BOOL(WINAPI *DisableRedirectionFn)(LPVOID *);
typedef BOOL(WINAPI *RevertRedirectionFn)(LPVOID);

typedef void (*AnyFunction)(void);

/* Looks up name in kernel32; NULL on systems that do not have it.  The result
 * is the generic function type, which may be cast to the real one. */
static AnyFunction FindKernelFunction(const char *name)
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    return kernel ? (AnyFunction)GetProcAddress(kernel, name) : NULL;
}

int QueryVersion(OSVERSIONINFOEXA *version)
{
    memset(version, 0, sizeof *version);
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (GetVersionExA((LPOSVERSIONINFOA)version)) return 1;
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return GetVersionExA((LPOSVERSIONINFOA)version) ? 1 : 0;
}

int IsWow64(void)
{
    IsWow64ProcessFn isWow64Process = (IsWow64ProcessFn)FindKernelFunction("IsWow64Process");
    if (!isWow64Process) return 0;
    BOOL wow64 = FALSE;
    isWow64Process(GetCurrentProcess(), &wow64);
    return wow64 ? 1 : 0;
}

void DisableRedirection(void)
{
    DisableRedirectionFn disable =
        (DisableRedirectionFn)FindKernelFunction("Wow64DisableWow64FsRedirection");
    LPVOID previous = NULL;
    if (disable) disable(&previous);
}

void RevertRedirection(void)
{
    RevertRedirectionFn revert = (RevertRedirectionFn)FindKernelFunction("Wow64RevertWow64FsRedirection");
    if (revert) revert(NULL);
}
