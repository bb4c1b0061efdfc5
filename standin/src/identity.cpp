/* Who and where the process runs: ntdll's real version, the computer, the
 * account and its token (advapi32, through GetProcAddress only), the process
 * id and the window station. */
#include <standin.h>

#include <string.h>

using standin::Log;
using standin::state;

#define STATUS_SUCCESS 0
#define STATUS_INVALID_PARAMETER ((LONG)0xC000000DL)

static struct HINSTANCE__ g_ntdll;
static struct HWINSTA__ g_windowStation;

static LONG WINAPI StandinRtlGetVersion(OSVERSIONINFOW *version)
{
    Log("RtlGetVersion");
    if (version->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) return STATUS_INVALID_PARAMETER;
    version->dwMajorVersion = state().realMajor;
    version->dwMinorVersion = state().realMinor;
    version->dwBuildNumber = state().realBuild;
    version->dwPlatformId = VER_PLATFORM_WIN32_NT;
    return STATUS_SUCCESS;
}

/* Copies text into buffer of *size bytes; *size is then its length, or the
 * size needed when it does not fit. */
static BOOL CopyName(const std::string &text, LPSTR buffer, LPDWORD size)
{
    if (text.size() + 1 > *size) {
        *size = (DWORD)text.size() + 1;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer, text.c_str(), text.size() + 1);
    *size = (DWORD)text.size();
    return TRUE;
}

BOOL WINAPI GetComputerNameA(LPSTR buffer, LPDWORD size) { return CopyName(state().computerName, buffer, size); }

/* GetUserNameA counts the terminator in *size. */
static BOOL WINAPI StandinGetUserNameA(LPSTR buffer, LPDWORD size)
{
    if (!CopyName(state().userName, buffer, size)) return FALSE;
    (*size)++;
    return TRUE;
}

static char g_token;

static BOOL WINAPI StandinOpenProcessToken(HANDLE process, DWORD access, PHANDLE token)
{
    (void)process, (void)access;
    *token = &g_token;
    return TRUE;
}

static BOOL WINAPI StandinGetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                              DWORD size, PDWORD needed)
{
    *needed = sizeof(TOKEN_ELEVATION);
    if (token != &g_token || kind != TokenElevation || state().tokenElevated < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (size < sizeof(TOKEN_ELEVATION)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    ((TOKEN_ELEVATION *)information)->TokenIsElevated = (DWORD)state().tokenElevated;
    return TRUE;
}

DWORD WINAPI GetCurrentProcessId(void) { return state().processId; }

HWINSTA WINAPI GetProcessWindowStation(void) { return &g_windowStation; }

BOOL WINAPI GetUserObjectInformationA(HANDLE object, int index, LPVOID information, DWORD size, LPDWORD needed)
{
    Log("GetUserObjectInformationA");
    if (needed) *needed = sizeof(USEROBJECTFLAGS);
    if (object != (HANDLE)&g_windowStation || index != UOI_FLAGS || size < sizeof(USEROBJECTFLAGS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    USEROBJECTFLAGS *flags = (USEROBJECTFLAGS *)information;
    memset(flags, 0, sizeof *flags);
    flags->dwFlags = state().windowStationVisible ? WSF_VISIBLE : 0;
    return TRUE;
}

namespace standin {

HMODULE NtdllModule() { return &g_ntdll; }

FARPROC IdentityExport(HMODULE module, const char *name)
{
    if (module == &g_ntdll && state().realVersionPresent && strcmp(name, "RtlGetVersion") == 0)
        return (FARPROC)(void (*)(void))StandinRtlGetVersion;
    if (module != LibraryModule("advapi32.dll")) return NULL;
    if (strcmp(name, "GetUserNameA") == 0) return (FARPROC)(void (*)(void))StandinGetUserNameA;
    if (strcmp(name, "OpenProcessToken") == 0) return (FARPROC)(void (*)(void))StandinOpenProcessToken;
    if (strcmp(name, "GetTokenInformation") == 0) return (FARPROC)(void (*)(void))StandinGetTokenInformation;
    return NULL;
}

}  // namespace standin
