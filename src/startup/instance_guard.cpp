#include "startup/instance_guard.h"

#include "common/message.h"
#include "startup/system_probes.h"

#define MSG_ALREADY_STARTED "\"" PRODUCT_TITLE "\" is already started."

/* NT 4 and 5 keep one session per logon unless a 32-bit copy runs on 64-bit
 * Windows; other NT versions need the machine-wide name to see every session. */
const char *ChooseMutexName(const OSVERSIONINFOEXA *version)
{
    if (version->dwPlatformId != VER_PLATFORM_WIN32_NT) return MUTEX_NAME_LOCAL;
    if (version->dwMajorVersion < 4 || version->dwMajorVersion > 5) return MUTEX_NAME_GLOBAL;
    return IsWow64() ? MUTEX_NAME_GLOBAL : MUTEX_NAME_LOCAL;
}

HANDLE TakeInstanceGuard(const char *name)
{
    HANDLE guard = CreateMutexA(NULL, FALSE, name);
    if (!guard) return NULL;
    DWORD wait = WaitForSingleObject(guard, 0);
    if (wait == WAIT_TIMEOUT || wait == WAIT_FAILED) {
        DropInstanceGuard(guard);
        ShowMessage(NULL, MSG_ALREADY_STARTED, MB_KIND_INFORMATION);
        return NULL;
    }
    /* WAIT_ABANDONED: a previous copy died holding it; the guard is ours now. */
    return guard;
}

void DropInstanceGuard(HANDLE guard)
{
    ReleaseMutex(guard);
    CloseHandle(guard);
}
