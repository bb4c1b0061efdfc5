#include "startup/version_policy.h"

#include "common/system_probes.h"
#include "common/user_message.h"
#include "common/outcome.h"

/* Windows 7 / Server 2008 R2 (6.1) and later, as reported to a program whose
 * manifest names Windows 7 and 8: those systems say 6.1 or 6.2. */
const char *VersionRefusal(DWORD platform, DWORD major, DWORD minor)
{
    if (platform == VER_PLATFORM_WIN32_WINDOWS) return MSG_DIFFERENT_SYSTEM;
    if (platform != VER_PLATFORM_WIN32_NT) return NULL;
    if (major < 4 || major > 6) return MSG_MISSING_SYSTEM;
    if (major == 6 && minor >= 1) return NULL;
    return MSG_DIFFERENT_SYSTEM;
}

int AcceptVersion(HWND owner, const OSVERSIONINFOEXA *version)
{
    const char *refusal = VersionRefusal(version->dwPlatformId, version->dwMajorVersion, version->dwMinorVersion);
    if (!refusal) return 1;
    ReportOutcome(owner, refusal, MB_KIND_WARNING, ERROR_INSTALL_PLATFORM_UNSUPPORTED);
    return 0;
}

int PassVersionPolicy(HWND owner)
{
    OSVERSIONINFOEXA version;
    if (!QueryVersion(&version)) {
        SetOutcome(ERROR_INSTALL_PLATFORM_UNSUPPORTED, "The Windows version cannot be read");
        return 0;
    }
    return AcceptVersion(owner, &version);
}
