/* kernel32 and shell32 subset for child processes: launches, exit codes,
 * the Windows folder and system error texts.  Children run on the time Sleep records. */
#include <objbase.h>
#include <shellapi.h>
#include <standin.h>

#include <stdlib.h>
#include <string.h>
#include <strings.h>

using standin::Log;
using standin::state;

/* The script of the next launch; a child that exits 0 at once when none is left. */
static standin::ChildScript NextChild()
{
    if (state().children.empty()) return standin::ChildScript();
    standin::ChildScript script = state().children.front();
    state().children.pop_front();
    return script;
}

static HANDLE StartProcess(const standin::ChildScript &script, bool thread)
{
    state().processes.push_back(standin::ProcessHandle());
    standin::ProcessHandle &process = state().processes.back();
    process.script = script;
    process.startedAt = state().sleptMilliseconds;
    process.thread = thread;
    if (script.printersAfter >= 0) state().localPrinters = script.printersAfter;
    return &process;
}

/* An open handle the launches gave, or NULL. */
static standin::ProcessHandle *FindHandle(HANDLE handle)
{
    for (standin::ProcessHandle &process : state().processes)
        if (&process == handle) return &process;
    return NULL;
}

static bool HasEnded(const standin::ProcessHandle &process)
{
    return state().sleptMilliseconds - process.startedAt >= process.script.runsFor;
}

static std::string Text(LPCSTR text) { return text ? text : "(null)"; }

/* True when path starts with folder and a backslash, whatever the case; rest
 * is then what follows. */
static bool IsBelow(const std::string &path, const std::string &folder, std::string *rest)
{
    std::string prefix = folder + "\\";
    if (path.size() <= prefix.size() || strncasecmp(path.c_str(), prefix.c_str(), prefix.size()) != 0) return false;
    *rest = path.substr(prefix.size());
    return true;
}

/* The file a program name opens, by the file system redirector's rules: a
 * 32-bit process under WOW64 reaches SysWOW64 through System32 (unless its
 * thread has redirection off) and the native System32 through Sysnative,
 * which a 64-bit process does not have ("File System Redirector").  64-bit
 * Windows has no pnputil.exe in SysWOW64.  Empty when nothing is there. */
static std::string ProgramFile(const std::string &name)
{
    const std::string &windows = state().windowsDirectory;
    std::string rest;
    if (IsBelow(name, windows + "\\Sysnative", &rest)) return state().isWow64 ? windows + "\\System32\\" + rest : "";
    if (!IsBelow(name, windows + "\\System32", &rest)) return name;
    if (!state().isWow64 || state().redirectionDisabled) return windows + "\\System32\\" + rest;
    return strcasecmp(rest.c_str(), "pnputil.exe") == 0 ? "" : windows + "\\SysWOW64\\" + rest;
}

/* CreateProcessA's program: the application name, else the command line's first word. */
static std::string ProgramName(LPCSTR applicationName, LPCSTR commandLine)
{
    if (applicationName) return applicationName;
    std::string line = Text(commandLine);
    if (!line.empty() && line[0] == '"') return line.substr(1, line.find('"', 1) - 1);
    return line.substr(0, line.find(' '));
}

/* The DLLs the shell loads for itself on a launch (Wine's shell32 loads
 * rpcrt4, combase and ole32; Windows more): each must load, or the launch fails. */
static bool LoadShellHelpers()
{
    return LoadLibraryA((state().systemDirectory + "\\ole32.dll").c_str()) != NULL;
}

BOOL WINAPI ShellExecuteExA(LPSHELLEXECUTEINFOA info)
{
    Log("ShellExecuteExA(" + Text(info->lpFile) + "," + Text(info->lpParameters) + ")");
    standin::Launch launch;
    launch.api = "ShellExecuteExA";
    launch.redirectionDisabled = state().redirectionDisabled;
    launch.size = info->cbSize;
    launch.mask = info->fMask;
    launch.owner = info->hwnd;
    launch.verb = Text(info->lpVerb);
    launch.file = Text(info->lpFile);
    launch.parameters = Text(info->lpParameters);
    launch.directoryGiven = info->lpDirectory != NULL;
    launch.show = info->nShow;
    launch.program = ProgramFile(launch.file);
    launch.comApartment = state().comInitializations > 0 && (state().comModel & COINIT_APARTMENTTHREADED);
    state().launches.push_back(launch);

    info->hProcess = NULL;
    if (!LoadShellHelpers()) return FALSE;
    standin::ChildScript script = NextChild();
    if (launch.program.empty()) script = standin::ChildScript(), script.launchFails = true;
    if (script.launchFails) {
        info->hInstApp = (HINSTANCE)(ULONG_PTR)SE_ERR_FNF;
        SetLastError(script.launchError);
        return FALSE;
    }
    info->hInstApp = (HINSTANCE)(ULONG_PTR)33;  /* above 32: success */
    HANDLE process = StartProcess(script, false);
    if ((info->fMask & SEE_MASK_NOCLOSEPROCESS) && !script.noProcessHandle) {
        info->hProcess = process;
    } else {
        FindHandle(process)->closed = true;
    }
    return TRUE;
}

BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                           LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                           LPPROCESS_INFORMATION processInformation)
{
    Log("CreateProcessA(" + Text(commandLine) + ")");
    standin::Launch launch;
    launch.api = "CreateProcessA";
    launch.redirectionDisabled = state().redirectionDisabled;
    launch.applicationName = applicationName ? applicationName : "";
    launch.commandLine = Text(commandLine);
    launch.securityGiven = processAttributes != NULL || threadAttributes != NULL;
    launch.inheritHandles = inheritHandles;
    launch.creationFlags = creationFlags;
    launch.environmentGiven = environment != NULL;
    launch.currentDirectoryGiven = currentDirectory != NULL;
    const unsigned char *bytes = (const unsigned char *)startupInfo;
    launch.startupInfo.assign(bytes, bytes + sizeof(STARTUPINFOA));
    if (startupInfo->dwFlags & STARTF_USESHOWWINDOW) launch.show = startupInfo->wShowWindow;
    launch.program = ProgramFile(ProgramName(applicationName, commandLine));
    state().launches.push_back(launch);

    standin::ChildScript script = NextChild();
    if (launch.program.empty()) script = standin::ChildScript(), script.launchFails = true;
    if (script.launchFails) {
        SetLastError(script.launchError);
        return FALSE;
    }
    processInformation->hProcess = StartProcess(script, false);
    processInformation->hThread = StartProcess(standin::ChildScript(), true);
    processInformation->dwProcessId = 1000 + (DWORD)state().processes.size();
    processInformation->dwThreadId = processInformation->dwProcessId + 1;
    return TRUE;
}

/* A day of polling means the code under test would wait for ever. */
static const DWORD kForever = 24u * 60 * 60 * 1000;

/* Reads STILL_ACTIVE while the child runs.  A thread handle, a closed or an
 * unknown one fails with ERROR_INVALID_HANDLE and leaves exitCode alone. */
BOOL WINAPI GetExitCodeProcess(HANDLE handle, LPDWORD exitCode)
{
    Log("GetExitCodeProcess");
    if (state().sleptMilliseconds > kForever) abort();
    standin::ProcessHandle *process = FindHandle(handle);
    if (!process || process->closed || process->thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (process->script.exitCodeUnreadable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *exitCode = HasEnded(*process) ? process->script.exitCode : STILL_ACTIVE;
    return TRUE;
}

namespace standin {

bool CloseProcessHandle(HANDLE handle, BOOL *result)
{
    ProcessHandle *process = FindHandle(handle);
    if (!process) return false;
    *result = process->closed ? FALSE : TRUE;
    if (process->closed) SetLastError(ERROR_INVALID_HANDLE);
    process->closed = true;
    return true;
}

bool ChildRunning()
{
    for (const ProcessHandle &process : state().processes)
        if (!process.thread && !HasEnded(process)) return true;
    return false;
}

/* A process is signalled once it has ended; an endless wait lets it end. */
bool WaitForProcess(HANDLE handle, DWORD milliseconds, DWORD *result)
{
    ProcessHandle *process = FindHandle(handle);
    if (!process) return false;
    if (state().comInitializations > 0) state().waitedInComApartment = true;
    if (process->closed) {
        SetLastError(ERROR_INVALID_HANDLE);
        *result = WAIT_FAILED;
        return true;
    }
    if (!HasEnded(*process) && milliseconds == INFINITE)
        state().sleptMilliseconds = process->startedAt + process->script.runsFor;
    if (!HasEnded(*process) && milliseconds > 0 && milliseconds != INFINITE) state().sleptMilliseconds += milliseconds;
    *result = HasEnded(*process) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    return true;
}

}  // namespace standin

/* Too small a buffer gets nothing; the result is then the size needed with the terminator. */
UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    Log("GetWindowsDirectoryA(" + std::to_string(size) + ")");
    if (state().windowsDirectoryFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    const std::string &folder = state().windowsDirectory;
    if (folder.size() + 1 > size) return (UINT)folder.size() + 1;
    memcpy(buffer, folder.c_str(), folder.size() + 1);
    return (UINT)folder.size();
}

/* Only system texts.  With FORMAT_MESSAGE_ALLOCATE_BUFFER, buffer receives a
 * text to release with LocalFree, or NULL; an unknown code gives 0 and
 * ERROR_MR_MID_NOT_FOUND, as Windows and Wine do. */
DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer,
                            DWORD size, va_list *arguments)
{
    (void)source, (void)arguments;
    Log("FormatMessageA(" + std::to_string(flags) + "," + std::to_string(messageId) + "," +
        std::to_string(languageId) + ")");
    bool allocate = (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0;
    if (allocate) *(LPSTR *)buffer = NULL;
    auto known = state().errorTexts.find(messageId);
    if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || known == state().errorTexts.end()) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    const std::string &text = known->second;
    if (allocate) {
        size_t bytes = text.size() + 1 > size ? text.size() + 1 : size;
        char *block = (char *)malloc(bytes);
        memcpy(block, text.c_str(), text.size() + 1);
        state().localBlocks[block] = bytes;
        *(LPSTR *)buffer = block;
    } else {
        if (text.size() + 1 > size) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        memcpy(buffer, text.c_str(), text.size() + 1);
    }
    return (DWORD)text.size();
}

/* NULL on success; the block itself when it is no live local block. */
HLOCAL WINAPI LocalFree(HLOCAL block)
{
    Log("LocalFree");
    if (!block) return NULL;
    auto live = state().localBlocks.find(block);
    if (live == state().localBlocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return block;
    }
    free(block);
    state().localBlocks.erase(live);
    return NULL;
}
