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

    /* DLL search: whether kernel32 exports the two functions that limit it. */
    bool defaultDllDirectoriesPresent = true;
    bool dllDirectoryPresent = true;

    MutexScript mutex = MutexScript::Free;
    bool classRegistrationFails = false;

    /* Answers MessageBoxA gives, first to last; when empty, the box's first button. */
    std::deque<int> messageBoxAnswers;

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

}  // namespace standin

#endif
