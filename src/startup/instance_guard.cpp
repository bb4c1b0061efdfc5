#include "startup/instance_guard.h"

#include "common/user_message.h"
#include "common/launch_log.h"
#include "common/outcome.h"
#include "common/system_probes.h"

#define MSG_ALREADY_STARTED "\"" PRODUCT_TITLE "\" is already started."

/* The local name on the 9x family and on NT 4 and 5 run natively; the global
 * name on other NT versions and on NT 4 and 5 under WOW64; the local name for
 * any later family.  WOW64 is asked about only for NT 4 and 5. */
const char *ChooseMutexName(const OSVERSIONINFOEXA *version)
{
    if (version->dwPlatformId != VER_PLATFORM_WIN32_NT) return MUTEX_NAME_LOCAL;
    if (version->dwMajorVersion < 4 || version->dwMajorVersion > 5) return MUTEX_NAME_GLOBAL;
    return IsWow64() ? MUTEX_NAME_GLOBAL : MUTEX_NAME_LOCAL;
}

static void ReportAlreadyStarted(void)
{
    ReportOutcome(NULL, MSG_ALREADY_STARTED, MB_KIND_INFORMATION, ERROR_INSTALL_ALREADY_RUNNING);
}

HANDLE TakeInstanceGuard(const char *name)
{
    HANDLE guard = CreateMutexA(NULL, FALSE, name);
    if (!guard) {
        DWORD error = GetLastError();
        /* "If the caller has limited access rights, the function will fail with
         * ERROR_ACCESS_DENIED" (CreateMutexA): the guard exists, made by a copy
         * running as another account (SYSTEM), whose default access leaves an
         * administrator's copy no right to open it. */
        if (error == ERROR_ACCESS_DENIED) {
            LogLine("The instance guard %s is another account's copy's (error %lu)", name, (unsigned long)error);
            ReportAlreadyStarted();
            return NULL;
        }
        LogLine("The instance guard %s cannot be created (error %lu)", name, (unsigned long)error);
        return NULL;
    }
    DWORD wait = WaitForSingleObject(guard, 0);
    if (wait == WAIT_TIMEOUT || wait == WAIT_FAILED) {
        DropInstanceGuard(guard);
        ReportAlreadyStarted();
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
