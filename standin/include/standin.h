/*
 * Control of the host stand-in: the scripted system state the Win32 subset
 * reads, and the record of what the code under test asked of it.  Tests call
 * standin::Reset() before each case and then adjust state() as they need.
 */
#ifndef STANDIN_STANDIN_H
#define STANDIN_STANDIN_H

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace standin {

enum class MutexScript {
    Free,           /* the wait acquires it */
    HeldElsewhere,  /* another process owns it: the wait times out */
    Abandoned,      /* its owner died holding it: the wait returns WAIT_ABANDONED */
    WaitFails,      /* the wait returns WAIT_FAILED */
    CreateFails     /* CreateMutexA returns NULL */
};

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

/* A named mutex handle the code opened; its address is the HANDLE. */
struct MutexHandle {
    std::string name;
    bool owned = false;  /* acquired by a wait and not released */
    bool closed = false;
};

/* One child process started by ShellExecuteExA or CreateProcessA: how its
 * launch goes and how it ends.  Time passes only through Sleep. */
struct ChildScript {
    bool launchFails = false;
    DWORD launchError = ERROR_FILE_NOT_FOUND; /* GetLastError after a failed launch */
    bool noProcessHandle = false;   /* a shell launch that succeeds without a handle */
    DWORD runsFor = 0;              /* milliseconds of Sleep until it has ended */
    DWORD exitCode = 0;
    bool exitCodeUnreadable = false; /* GetExitCodeProcess fails */
    int printersAfter = -1;         /* >= 0: the local printers the spooler knows after the launch */
};

/* What one launch asked for (fields of the API that was not called stay empty). */
struct Launch {
    std::string api;  /* "ShellExecuteExA" or "CreateProcessA" */
    bool redirectionDisabled = false;
    /* ShellExecuteExA */
    DWORD size = 0;
    ULONG mask = 0;
    HWND owner = NULL;
    std::string verb, file, parameters;
    bool directoryGiven = false;
    int show = -1;
    /* CreateProcessA */
    bool applicationNameGiven = false;
    std::string commandLine;
    bool securityGiven = false;
    BOOL inheritHandles = FALSE;
    DWORD creationFlags = 0;
    bool environmentGiven = false;
    bool currentDirectoryGiven = false;
    std::vector<unsigned char> startupInfo;  /* the record's bytes as passed */
};

/* A process or thread handle a launch gave; its address is the HANDLE. */
struct ProcessHandle {
    ChildScript script;
    DWORD startedAt = 0;
    bool thread = false;
    bool closed = false;
};

/* One EnumPrintersA call: printers added (or removed) just before it answers, or an error. */
struct SpoolerAnswer {
    int addPrinters = 0;
    DWORD error = 0;
};

struct State {
    /* Version query: what GetVersionExA reports, and which record sizes it refuses. */
    DWORD platform = VER_PLATFORM_WIN32_NT;
    DWORD major = 6;
    DWORD minor = 1;
    bool extendedQueryFails = false; /* size 156 */
    bool basicQueryFails = false;    /* size 148 */

    /* Current directory and module path, as Windows paths. */
    std::string currentDirectory;
    bool currentDirectoryFails = false;
    std::string modulePath = "C:\\Setup.exe";

    /* Windows paths map to host folders: a drive letter to a folder, UNC names below uncRoot. */
    std::map<char, std::string> drives;
    std::string uncRoot;

    /* WOW64: whether kernel32 exports the functions, and what IsWow64Process answers. */
    bool wow64ProbePresent = false;
    bool redirectionPresent = false;
    BOOL isWow64 = FALSE;

    MutexScript mutex = MutexScript::Free;
    bool classRegistrationFails = false;

    /* Answers MessageBoxA gives, first to last; when empty, the box's first button. */
    std::deque<int> messageBoxAnswers;

    /* Processes: one script per launch, first to last (none left: exits 0 at once). */
    std::deque<ChildScript> children;
    std::vector<Launch> launches;
    std::deque<ProcessHandle> processes;
    DWORD clock = 0;  /* milliseconds slept so far */
    bool redirectionDisabled = false;
    std::string windowsDirectory = "C:\\WINDOWS";
    bool windowsDirectoryFails = false;

    /* Spooler: what winspool.drv offers and what EnumPrintersA counts. */
    bool spoolerMissing = false;  /* winspool.drv cannot be loaded */
    int localPrinters = 0;
    int printerConnections = 0;
    std::deque<SpoolerAnswer> spoolerAnswers;  /* per call, first to last; then plain answers */

    /* Memory blocks and error texts. */
    int allocationsBeforeFailure = -1;  /* GlobalAlloc calls that succeed before one fails; -1: all */
    std::map<void *, size_t> globalBlocks;  /* live GlobalAlloc blocks and their sizes */
    std::map<void *, size_t> localBlocks;   /* live texts FormatMessageA allocated */
    std::map<DWORD, std::string> errorTexts = {  /* what FormatMessageA knows, as English Windows words it */
        {0, "The operation completed successfully.\r\n"},
        {2, "The system cannot find the file specified.\r\n"},
        {3, "The system cannot find the path specified.\r\n"},
        {5, "Access is denied.\r\n"},
        {1155, "No application is associated with the specified file for this operation.\r\n"},
        {1223, "The operation was canceled by the user.\r\n"},
    };

    /* Records. */
    std::vector<std::string> calls;  /* one line per API call of interest, in order */
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<std::string> debugLines;
    std::vector<WNDCLASSEXA> registeredClasses;
    std::deque<MutexHandle> mutexes;  /* every handle CreateMutexA gave, in order */
};

State &state();

/* Back to a plain NT 6.1 system: drive C: is the host's root, the current
 * directory is the host's own, nothing scripted and nothing recorded. */
void Reset();

/* Maps a Windows path to the host path it stands for, resolving each name
 * case-insensitively as Windows does.  Returns false for paths that name
 * nothing mapped (an unknown drive or share). */
bool HostPath(const char *windowsPath, std::string *hostPath);

/* Turns a host folder into the Windows path that names it through drive C:. */
std::string WindowsPathOf(const std::string &hostPath);

/* True when the log of calls holds an entry starting with prefix. */
bool Called(const std::string &prefix);

void Log(const std::string &line);

/* Between the stand-in's own files: process and thread handles met by the
 * generic handle functions.  Each returns false when handle is no such handle. */
bool CloseProcessHandle(HANDLE handle, BOOL *result);
bool WaitForProcess(HANDLE handle, DWORD milliseconds, DWORD *result);

/* winspool.drv as LoadLibraryA gives it, and its exports for GetProcAddress. */
HMODULE SpoolerModule();
FARPROC SpoolerExport(const char *name);

}  // namespace standin

#endif
