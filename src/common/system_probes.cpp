#include "common/system_probes.h"

#include <string.h>

#include "common/system_library.h"

typedef BOOL(WINAPI *IsWow64ProcessFunction)(HANDLE process, PBOOL wow64);
typedef BOOL(WINAPI *IsWow64Process2Function)(HANDLE process, USHORT *processMachine, USHORT *nativeMachine);
typedef LONG(WINAPI *RtlGetVersionFunction)(OSVERSIONINFOW *version);
typedef BOOL(WINAPI *ProcessIdToSessionIdFunction)(DWORD processId, DWORD *sessionId);

int QueryVersion(OSVERSIONINFOEXA *version)
{
    memset(version, 0, sizeof *version);
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (GetVersionExA((LPOSVERSIONINFOA)version)) return 1;
    version->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return GetVersionExA((LPOSVERSIONINFOA)version) ? 1 : 0;
}

/* GetVersionExA answers 6.2 to a program not manifested for Windows 8.1 or 10
 * (GetVersionExA); ntdll's RtlGetVersion "returns version information about
 * the currently running operating system". */
int QueryRealVersion(DWORD *major, DWORD *minor, DWORD *build)
{
    RtlGetVersionFunction getVersion = (RtlGetVersionFunction)FindSystemFunction("ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOW version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!getVersion || getVersion(&version) != 0) return 0;
    *major = version.dwMajorVersion;
    *minor = version.dwMinorVersion;
    *build = version.dwBuildNumber;
    return 1;
}

/* IsWow64Process2 names the process's machine, IMAGE_FILE_MACHINE_UNKNOWN when
 * it is not under WOW64, and the PC's own, on x64 and ARM64 alike;
 * IsWow64Process's answer on ARM64 is not one its documentation settles.
 * Windows before 10 lacks the former and some 32-bit systems the latter: a
 * missing function means no.  Returns 1 when the former answered. */
static int AskWow64Process2(USHORT *processMachine, USHORT *nativeMachine)
{
    IsWow64Process2Function isWow64Process2 =
        (IsWow64Process2Function)FindSystemFunction("kernel32.dll", "IsWow64Process2");
    *processMachine = IMAGE_FILE_MACHINE_UNKNOWN;
    return isWow64Process2 && isWow64Process2(GetCurrentProcess(), processMachine, nativeMachine);
}

static int AskWow64Process(void)
{
    IsWow64ProcessFunction isWow64Process =
        (IsWow64ProcessFunction)FindSystemFunction("kernel32.dll", "IsWow64Process");
    if (!isWow64Process) return 0;
    BOOL wow64 = FALSE;
    isWow64Process(GetCurrentProcess(), &wow64);
    return wow64 ? 1 : 0;
}

int IsWow64(void)
{
    USHORT processMachine, nativeMachine;
    if (AskWow64Process2(&processMachine, &nativeMachine)) return processMachine != IMAGE_FILE_MACHINE_UNKNOWN;
    return AskWow64Process();
}

/* Where IsWow64Process2 is missing (before Windows 10, so no ARM64), a
 * 32-bit process under WOW64 runs on x64, else on a PC of its own kind. */
USHORT NativeMachine(void)
{
    USHORT processMachine, nativeMachine;
    if (AskWow64Process2(&processMachine, &nativeMachine)) return nativeMachine;
    if (AskWow64Process()) return IMAGE_FILE_MACHINE_AMD64;
    return sizeof(void *) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
}

static int WindowStationVisible(void)
{
    USEROBJECTFLAGS flags;
    DWORD needed = 0;
    HWINSTA station = GetProcessWindowStation();
    if (!station || !GetUserObjectInformationA(station, UOI_FLAGS, &flags, sizeof flags, &needed)) return 1;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

/* "All services run in Terminal Services session 0" (Interactive Services),
 * and since Windows Vista no user logs on there; each session has a WinSta0
 * of its own, so SYSTEM on session 0's WinSta0 finds it visible. */
static int RunsInSessionZero(void)
{
    ProcessIdToSessionIdFunction sessionOf =
        (ProcessIdToSessionIdFunction)FindSystemFunction("kernel32.dll", "ProcessIdToSessionId");
    DWORD session = 1;
    if (!sessionOf || !sessionOf(GetCurrentProcessId(), &session) || session != 0) return 0;
    OSVERSIONINFOEXA version;
    return QueryVersion(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 6;
}

ScreenSight LookAtScreen(void)
{
    if (!WindowStationVisible()) return SCREEN_STATION_INVISIBLE;
    return RunsInSessionZero() ? SCREEN_SESSION_ZERO : SCREEN_SEEN;
}
