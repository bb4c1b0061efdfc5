/* kernel32 and C run-time subset: errors, version, folders, modules, mutexes, debug output. */
#include <standin.h>

#include <sys/stat.h>

#include <stdio.h>
#include <string.h>
#include <strings.h>

using standin::Log;
using standin::state;

static DWORD g_lastError;

DWORD WINAPI GetLastError(void) { return g_lastError; }
void WINAPI SetLastError(DWORD code) { g_lastError = code; }

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info)
{
    DWORD size = info->dwOSVersionInfoSize;
    Log("GetVersionExA(" + std::to_string(size) + ")");
    bool known = size == sizeof(OSVERSIONINFOEXA) || size == sizeof(OSVERSIONINFOA);
    bool refused = (size == sizeof(OSVERSIONINFOEXA) && state().extendedQueryFails) ||
                   (size == sizeof(OSVERSIONINFOA) && state().basicQueryFails) || state().versionQueriesLeft == 0;
    if (state().versionQueriesLeft > 0) state().versionQueriesLeft--;
    if (!known || refused) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    info->dwMajorVersion = state().major;
    info->dwMinorVersion = state().minor;
    info->dwBuildNumber = 7601;
    info->dwPlatformId = state().platform;
    return TRUE;
}

/* Copies text and its terminator into buffer; returns its length. */
static std::string Upper(std::string text)
{
    for (char &c : text) c = (char)toupper((unsigned char)c);
    return text;
}

static DWORD CopyOut(const std::string &text, LPSTR buffer)
{
    memcpy(buffer, text.c_str(), text.size() + 1);
    return (DWORD)text.size();
}

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    Log("GetCurrentDirectoryA");
    if (state().currentDirectoryFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    const std::string &dir = state().currentDirectory;
    /* Too small a buffer: nothing is written, the result is the size needed. */
    if (dir.size() + 1 > size) return (DWORD)dir.size() + 1;
    return CopyOut(dir, buffer);
}

/* Only a folder that is there becomes current. */
BOOL WINAPI SetCurrentDirectoryA(LPCSTR path)
{
    Log(std::string("SetCurrentDirectoryA(") + (path ? path : "NULL") + ")");
    std::string host;
    struct stat info;
    if (!path || !standin::HostPath(path, &host) || stat(host.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    state().currentDirectory = path;
    return TRUE;
}

/* "%name%" of a variable environment holds is replaced by its value, any
 * other text kept; the result is the size the whole takes with its
 * terminator, whether or not it fitted (ExpandEnvironmentStrings). */
DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR source, LPSTR buffer, DWORD size)
{
    Log(std::string("ExpandEnvironmentStringsA(") + (source ? source : "") + ")");
    std::string text = source ? source : "", expanded;
    for (size_t at = 0; at < text.size();) {
        size_t end = text[at] == '%' ? text.find('%', at + 1) : std::string::npos;
        auto value = end == std::string::npos ? state().environment.end()
                                              : state().environment.find(Upper(text.substr(at + 1, end - at - 1)));
        if (value == state().environment.end()) {
            expanded += text[at++];
            continue;
        }
        expanded += value->second;
        at = end + 1;
    }
    if (expanded.size() + 1 <= size) CopyOut(expanded, buffer);
    return (DWORD)expanded.size() + 1;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    (void)module;
    Log("GetModuleFileNameA");
    const std::string &path = state().modulePath;
    if (size == 0) return 0;
    if (path.size() + 1 > size) {
        /* Cut to size - 1 bytes and terminated, as Vista and later do. */
        memcpy(buffer, path.c_str(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return CopyOut(path, buffer);
}

void _splitpath(const char *path, char *drive, char *dir, char *fname, char *ext)
{
    const char *rest = path;
    if (path[0] && path[1] == ':') rest = path + 2;
    if (drive) {
        size_t n = (size_t)(rest - path);
        memcpy(drive, path, n);
        drive[n] = '\0';
    }
    const char *name = rest;
    for (const char *p = rest; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    const char *dot = NULL;
    for (const char *p = name; *p; ++p)
        if (*p == '.') dot = p;
    if (!dot) dot = name + strlen(name);
    if (dir) {
        memcpy(dir, rest, (size_t)(name - rest));
        dir[name - rest] = '\0';
    }
    if (fname) {
        memcpy(fname, name, (size_t)(dot - name));
        fname[dot - name] = '\0';
    }
    if (ext) strcpy(ext, dot);
}

/* kernel32's WOW64 entries, reachable only through GetProcAddress. */
static BOOL WINAPI StandinIsWow64Process(HANDLE process, PBOOL wow64)
{
    (void)process;
    Log("IsWow64Process");
    *wow64 = state().wow64ProbeAnswer >= 0 ? (BOOL)state().wow64ProbeAnswer : state().isWow64;
    return TRUE;
}

/* The process machine is UNKNOWN for a process that is not under WOW64. */
static BOOL WINAPI StandinIsWow64Process2(HANDLE process, USHORT *processMachine, USHORT *nativeMachine)
{
    (void)process;
    Log("IsWow64Process2");
    *processMachine = state().isWow64 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_UNKNOWN;
    if (nativeMachine) *nativeMachine = state().nativeMachine;
    return TRUE;
}

static BOOL WINAPI StandinDisableRedirection(LPVOID *previous)
{
    Log("Wow64DisableWow64FsRedirection");
    state().redirectionDisabled = true;
    *previous = NULL;
    return TRUE;
}

static BOOL WINAPI StandinRevertRedirection(LPVOID previous)
{
    Log(previous ? "Wow64RevertWow64FsRedirection(state)" : "Wow64RevertWow64FsRedirection(NULL)");
    state().redirectionDisabled = false;
    return TRUE;
}

/* The loader's search-order entries, also reachable only through GetProcAddress. */
static BOOL WINAPI StandinSetDefaultDllDirectories(DWORD flags)
{
    char line[64];
    snprintf(line, sizeof line, "SetDefaultDllDirectories(0x%X)", (unsigned)flags);
    Log(line);
    const DWORD known = LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS |
                        LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
    if (flags == 0 || (flags & ~known) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

static BOOL WINAPI StandinSetDllDirectoryA(LPCSTR path)
{
    Log(std::string("SetDllDirectoryA(") + (path ? "\"" + std::string(path) + "\"" : "NULL") + ")");
    return TRUE;
}

/* GetTempPath2A: the folder it gives SYSTEM, "inaccessible to non-SYSTEM
 * processes"; a Windows 10 that got the function by an update may lack it. */
static DWORD WINAPI StandinGetTempPath2A(DWORD size, LPSTR buffer)
{
    Log("GetTempPath2A");
    const std::string &folder = state().systemTempDirectory;
    if (folder.size() + 1 > size) return (DWORD)folder.size() + 1;
    memcpy(buffer, folder.c_str(), folder.size() + 1);
    return (DWORD)folder.size();
}

/* The Remote Desktop Services session of a process: 0 is where services run. */
static BOOL WINAPI StandinProcessIdToSessionId(DWORD processId, DWORD *sessionId)
{
    Log("ProcessIdToSessionId");
    if (processId != state().processId) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *sessionId = state().sessionId;
    return TRUE;
}

static struct HINSTANCE__ g_kernel32;
static char g_currentProcess;

HMODULE WINAPI GetModuleHandleA(LPCSTR name)
{
    if (name && strcasecmp(name, "kernel32") == 0) return &g_kernel32;
    if (name && strcasecmp(name, "kernel32.dll") == 0) return &g_kernel32;
    if (name && strcasecmp(name, "ntdll.dll") == 0) return standin::NtdllModule();
    SetLastError(126);  /* ERROR_MOD_NOT_FOUND */
    return NULL;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name)
{
    if (IS_INTRESOURCE(name)) return standin::ProcByOrdinal(module, (WORD)(ULONG_PTR)name);
    Log(std::string("GetProcAddress(") + name + ")");
    if (module == &g_kernel32) {
        if (state().wow64ProbePresent && strcmp(name, "IsWow64Process") == 0)
            return (FARPROC)(void (*)(void))StandinIsWow64Process;
        if (state().wow64Probe2Present && strcmp(name, "IsWow64Process2") == 0)
            return (FARPROC)(void (*)(void))StandinIsWow64Process2;
        if (state().redirectionPresent && strcmp(name, "Wow64DisableWow64FsRedirection") == 0)
            return (FARPROC)(void (*)(void))StandinDisableRedirection;
        if (state().redirectionPresent && strcmp(name, "Wow64RevertWow64FsRedirection") == 0)
            return (FARPROC)(void (*)(void))StandinRevertRedirection;
        if (state().defaultDllDirectoriesPresent && strcmp(name, "SetDefaultDllDirectories") == 0)
            return (FARPROC)(void (*)(void))StandinSetDefaultDllDirectories;
        if (state().dllDirectoryPresent && strcmp(name, "SetDllDirectoryA") == 0)
            return (FARPROC)(void (*)(void))StandinSetDllDirectoryA;
        if (!state().systemTempDirectory.empty() && strcmp(name, "GetTempPath2A") == 0)
            return (FARPROC)(void (*)(void))StandinGetTempPath2A;
        if (strcmp(name, "ProcessIdToSessionId") == 0) return (FARPROC)(void (*)(void))StandinProcessIdToSessionId;
    }
    if (FARPROC function = standin::IdentityExport(module, name)) return function;
    if (FARPROC function = standin::PolicyExport(module, name)) return function;
    if (FARPROC function = standin::SetupApiExport(module, name)) return function;
    if (module == standin::LibraryModule("winspool.drv")) {
        if (FARPROC function = standin::SpoolerExport(name)) return function;
    }
    if (FARPROC function = standin::ShellExport(module, name)) return function;
    SetLastError(127);  /* ERROR_PROC_NOT_FOUND */
    return NULL;
}

HANDLE WINAPI GetCurrentProcess(void) { return &g_currentProcess; }

/* Named mutexes: the test scripts what the wait finds. */
HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name)
{
    Log(std::string("CreateMutexA(") + (attributes ? "attributes" : "NULL") + "," +
        (initialOwner ? "TRUE" : "FALSE") + "," + (name ? name : "NULL") + ")");
    /* "If the caller has limited access rights, the function will fail with
     * ERROR_ACCESS_DENIED"; a name that is another kind of object's fails with
     * ERROR_INVALID_HANDLE (CreateMutexA). */
    if (state().mutex == standin::MutexScript::MadeBySystem || state().mutex == standin::MutexScript::CreateFails) {
        SetLastError(state().mutex == standin::MutexScript::MadeBySystem ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
        return NULL;
    }
    bool exists = state().mutex != standin::MutexScript::Free;
    SetLastError(exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    state().mutexes.push_back(standin::MutexHandle());
    state().mutexes.back().name = name ? name : "";
    state().mutexes.back().owned = initialOwner && !exists;
    return &state().mutexes.back();
}

static standin::MutexHandle *OpenMutex(HANDLE handle)
{
    for (standin::MutexHandle &mutex : state().mutexes)
        if (&mutex == handle && !mutex.closed) return &mutex;
    return NULL;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    Log("WaitForSingleObject(" + std::to_string(milliseconds) + ")");
    DWORD processResult;
    if (standin::WaitForProcess(handle, milliseconds, &processResult)) return processResult;
    standin::MutexHandle *mutex = OpenMutex(handle);
    if (!mutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    DWORD result = WAIT_OBJECT_0;
    switch (state().mutex) {
    case standin::MutexScript::HeldElsewhere: result = WAIT_TIMEOUT; break;
    case standin::MutexScript::WaitFails: result = WAIT_FAILED; break;
    case standin::MutexScript::Abandoned: result = WAIT_ABANDONED; break;
    default: break;
    }
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) mutex->owned = true;
    return result;
}

BOOL WINAPI ReleaseMutex(HANDLE handle)
{
    Log("ReleaseMutex");
    standin::MutexHandle *mutex = OpenMutex(handle);
    if (!mutex || !mutex->owned) {
        SetLastError(mutex ? 288 : ERROR_INVALID_HANDLE);  /* 288: ERROR_NOT_OWNER */
        return FALSE;
    }
    mutex->owned = false;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    Log("CloseHandle");
    BOOL processResult;
    if (standin::CloseProcessHandle(handle, &processResult)) return processResult;
    if (standin::CloseFileHandle(handle, &processResult)) return processResult;
    standin::MutexHandle *mutex = OpenMutex(handle);
    if (!mutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    mutex->closed = true;
    return TRUE;
}

void WINAPI OutputDebugStringA(LPCSTR text)
{
    Log("OutputDebugStringA");
    state().debugLines.push_back(text);
}
