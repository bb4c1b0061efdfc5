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
    MadeBySystem,   /* another copy running as SYSTEM made it: CreateMutexA fails with ERROR_ACCESS_DENIED */
    CreateFails     /* CreateMutexA returns NULL: the name is another kind of object's (ERROR_INVALID_HANDLE) */
};

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    bool ownerEnabled = true;  /* the owner's top-level window took input when the box came */
    bool brokenByQuit = false;  /* a quit message was waiting: the box's loop ended at once */
};

/* A named mutex handle the code opened; its address is the HANDLE. */
struct MutexHandle {
    std::string name;
    bool owned = false;  /* acquired by a wait and not released */
    bool closed = false;
};

/* One child process started by ShellExecuteExA or CreateProcessA: how its
 * launch goes and how it ends.  Time passes only through Sleep (sleptMilliseconds). */
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
    /* The program file that runs, as the file system redirector resolves the
     * name given: under WOW64 System32 is SysWOW64 (unless redirection is off)
     * and Sysnative is the native System32. */
    std::string program;
    bool comApartment = false;  /* COM was initialised apartment-threaded on the thread */
    /* ShellExecuteExA */
    DWORD size = 0;
    ULONG mask = 0;
    HWND owner = NULL;
    std::string verb, file, parameters;
    bool directoryGiven = false;
    int show = -1;  /* also CreateProcessA's, when its startup information gives one */
    /* CreateProcessA */
    std::string applicationName; /* empty when none was given */
    std::string commandLine;
    bool securityGiven = false;
    BOOL inheritHandles = FALSE;
    DWORD creationFlags = 0;
    bool environmentGiven = false;
    bool currentDirectoryGiven = false;
    std::vector<unsigned char> startupInfo;  /* the record's bytes as passed */
};

/* A file CreateFileA opened; its address is the HANDLE. */
struct FileHandle {
    std::string path;  /* as the code named it */
    int fd = -1;
    bool closed = false;
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

/* A print queue the spooler knows by name: its port and its driver. */
struct PrintQueue {
    std::string name, port, driver;
};

/* A port the spooler lists, and the monitor that keeps it. */
struct SpoolerPort {
    std::string name;
    std::string monitor = "Local Port";
};

/* One XcvDataW call: the object its handle was opened on (",XcvMonitor
 * Standard TCP/IP Port", ",XcvPort IP_10.0.0.5"), the access asked for, the
 * data name, the bytes given and the status answered. */
struct XcvCall {
    std::string object;
    DWORD access = 0;
    std::string dataName;
    std::vector<unsigned char> input;
    DWORD status = 0;
};

/* A handle OpenPrinterA or AddPrinterA gave; its address is the HANDLE.  It
 * is a print queue's (object: the queue's name) or an Xcv handle (object as
 * OpenPrinterA was given it: ",XcvMonitor Standard TCP/IP Port", ",XcvPort
 * IP_10.0.0.5").  access is what was asked for (PRINTER_DEFAULTSA's
 * DesiredAccess, 0 without one; PRINTER_ALL_ACCESS for AddPrinterA's), granted
 * what the handle may do (PRINTER_ACCESS_USE without PRINTER_DEFAULTSA). */
struct PrinterHandle {
    std::string object;
    bool xcv = false;
    DWORD access = 0;
    DWORD granted = 0;
    bool closed = false;
};

/* What a dialog template gives on the host, where there are no resources: the
 * client size in pixels its dialog units come to, and the ids of its controls
 * in template order (the first stands for the first tab stop). */
struct DialogTemplate {
    LONG width = 0;
    LONG height = 0;
    std::vector<int> controls;
};

/* A window the code created: top-level, dialog or dialog control.  Its HWND is
 * a token made from its index in State::windows (see WindowOf). */
struct Window {
    std::string className;  /* "#32770" for dialogs, "control" for dialog controls */
    std::string text;
    WNDPROC windowProc = NULL;  /* windows of a registered class */
    DLGPROC dialogProc = NULL;  /* dialogs */
    HWND parent = NULL;         /* dialogs made by CreateDialogParamA, controls */
    HWND owner = NULL;          /* modal dialogs */
    HINSTANCE instance = NULL;
    int templateId = 0;
    int id = 0;                 /* control id */
    DWORD style = 0;
    LONG x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
    bool disabled = false;      /* EnableWindow(FALSE) */
    bool destroyed = false;
    bool ended = false;         /* EndDialog was called */
    INT_PTR endResult = 0;
    UINT check = BST_UNCHECKED; /* buttons */
    HICON icon = NULL;          /* static controls, STM_SETICON */
    int itemCount = 0;          /* combo boxes: items listed; the code adds none */
    int selection = CB_ERR;     /* combo boxes */
    std::vector<UINT> systemMenu;  /* commands of the window's system menu */
};

struct State {
    /* Version query: what GetVersionExA reports, and which record sizes it refuses. */
    DWORD platform = VER_PLATFORM_WIN32_NT;
    DWORD major = 6;
    DWORD minor = 1;
    bool extendedQueryFails = false; /* size 156 */
    bool basicQueryFails = false;    /* size 148 */
    int versionQueriesLeft = -1;     /* calls answered before every call fails; -1: no limit */
    /* What ntdll's RtlGetVersion says, whatever the manifest: the version Windows really is. */
    bool realVersionPresent = true;
    DWORD realMajor = 6, realMinor = 1, realBuild = 7601;

    /* Who runs it, where: the computer, the account, whether its token is
     * elevated (-1: Windows cannot tell), the process id, and whether the
     * window station is one anybody can see (not a service's or SYSTEM's). */
    std::string computerName = "PC-0042";
    std::string userName = "Installer";
    int tokenElevated = 1;
    DWORD processId = 4321;
    bool windowStationVisible = true;
    DWORD sessionId = 1;  /* ProcessIdToSessionId's answer: 0 is the services' session */

    /* The environment's variables by upper-case name, as ExpandEnvironmentStringsA expands them. */
    std::map<std::string, std::string> environment = {{"SYSTEMROOT", "C:\\WINDOWS"}, {"TEMP", "C:\\TEMP"}};

    /* Current directory and module path, as Windows paths, and the command line. */
    std::string currentDirectory;
    bool currentDirectoryFails = false;
    std::string modulePath = "C:\\Setup.exe";
    std::string commandLine = "\"C:\\Setup.exe\"";
    bool doubleByteCodePage = false;  /* the ANSI code page is 932, not 1252 */

    /* Files: the temp folder (ending in a backslash), errors CreateFileA gives
     * for some paths (lower-case Windows paths), writes that fail, the clock. */
    std::string tempDirectory;
    std::string systemTempDirectory;  /* not empty: kernel32 has GetTempPath2A, which gives it */
    std::map<std::string, DWORD> openErrors;
    bool writesFail = false;
    SYSTEMTIME localTime = {2026, 12, 3, 9, 14, 5, 9, 42};
    std::deque<FileHandle> files;

    /* The standard output the process was given (FILE_TYPE_UNKNOWN: none) and
     * whether its parent has a console to attach to; what was written to each. */
    DWORD standardOutputType = FILE_TYPE_UNKNOWN;
    bool parentConsole = false;
    std::string standardOutput;
    std::string consoleOutput;

    /* Windows paths map to host folders: a drive letter to a folder, UNC names below uncRoot. */
    std::map<char, std::string> drives;
    std::string uncRoot;

    /* WOW64: whether kernel32 exports the functions, and whether this is a
     * 32-bit process on 64-bit Windows.  IsWow64Process answers isWow64 unless
     * wow64ProbeAnswer is 0 or 1 (sources disagree on its answer on ARM64);
     * IsWow64Process2 gives the process machine (I386 under WOW64, else
     * UNKNOWN) and nativeMachine. */
    bool wow64ProbePresent = false;
    bool wow64Probe2Present = false;
    bool redirectionPresent = false;
    BOOL isWow64 = FALSE;
    int wow64ProbeAnswer = -1;
    USHORT nativeMachine = IMAGE_FILE_MACHINE_AMD64;
    /* Libraries LoadLibraryA was asked for while this thread had redirection
     * off under WOW64: each of those loads failed (the 64-bit file was found). */
    std::vector<std::string> loadsWithRedirectionOff;

    /* COM on this thread: how many initialisations are not yet released, and their model. */
    int comInitializations = 0;
    DWORD comModel = 0;

    /* Windows protected print mode: what the runtime class WindowsProtectedPrintInfo
     * answers (-1: Windows has no such class, as before 11 24H2), the policy
     * value WindowsProtectedPrintGroupPolicyState (-1: none), and the class's
     * objects not yet released. */
    int protectedPrintClass = -1;
    HRESULT protectedPrintFailure = 0;  /* not 0: the class exists, but its activation fails so */
    int protectedPrintPolicy = -1;
    int protectedPrintObjects = 0;

    /* DLL search: whether kernel32 exports the two functions that limit it. */
    bool defaultDllDirectoriesPresent = true;
    bool dllDirectoryPresent = true;

    MutexScript mutex = MutexScript::Free;
    bool classRegistrationFails = false;

    /* Answers MessageBoxA gives, first to last; when empty, the box's first button. */
    std::deque<int> messageBoxAnswers;

    /* Processes: one script per launch, first to last (none left: exits 0 at once). */
    std::deque<ChildScript> children;
    std::vector<Launch> launches;
    std::deque<ProcessHandle> processes;
    bool redirectionDisabled = false;
    std::string windowsDirectory = "C:\\WINDOWS";
    bool windowsDirectoryFails = false;

    /* Spooler: what EnumPrintersA counts (winspool.drv is one of systemLibraries). */
    int localPrinters = 0;
    int printerConnections = 0;
    std::string printerDriver = "Generic / Text Only";  /* the local printers' driver */
    std::deque<SpoolerAnswer> spoolerAnswers;  /* per call, first to last; then plain answers */
    /* The spooler's named print queues (listed by EnumPrintersA after the
     * counted local printers), its printer drivers by environment ("Windows
     * x64", "Windows NT x86", "Windows ARM64"), its ports, and whether the
     * "Standard TCP/IP Port" monitor is registered.  A queue's driver must be
     * installed for the PC's own environment (nativeMachine), whatever the
     * caller's bitness: the spooler service serves them all. */
    std::vector<PrintQueue> printQueues;
    std::map<std::string, std::vector<std::string>> printerDrivers;
    std::vector<SpoolerPort> ports = {{"LPT1:", "Local Port"}, {"COM1:", "Local Port"}, {"FILE:", "Local Port"}};
    bool tcpMonitorRegistered = true;
    int addPortStatus = -1;  /* >= 0: the monitor answers "AddPort" with it and adds nothing */
    std::vector<XcvCall> xcvCalls;
    /* The driver package functions of winspool.drv (Windows Vista and later):
     * whether they are exported, the package's INF in the driver store as
     * UploadPrinterDriverPackageA gives it with UPDP_CHECK_DRIVERSTORE (empty:
     * the package is not in the store), what InstallPrinterDriverFromPackageA
     * answers (on S_OK it installs the driver for the environment), and one
     * line per call: "Upload(<inf>,<environment>,<flags>)",
     * "Install(<inf>,<driver>,<environment>,<flags>)". */
    bool driverPackageFunctions = true;
    std::string driverStoreInf;
    HRESULT installFromPackageResult = 0;
    std::vector<std::string> driverPackageCalls;
    /* Failures the spooler may answer: DeletePrinter's, and
     * DeletePrinterDriverExA's for a driver no printer uses (0: none). */
    DWORD deletePrinterError = 0;
    DWORD deleteDriverError = 0;
    int openPrinterHandles = 0;  /* OpenPrinterA and AddPrinterA handles not yet closed */
    std::deque<PrinterHandle> printerHandles;  /* every handle they gave, in order; never removed */

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
    /* Screen and window metrics GetSystemMetrics reports. */
    int screenWidth = 1024;
    int screenHeight = 768;
    int captionHeight = 18;

    /* Windows: creation can be made to fail; dialog templates by resource id. */
    bool windowCreationFails = false;
    std::map<int, DialogTemplate> templates;
    /* Control ids the user presses in the modal dialogs to come, one per dialog
     * (IDCANCEL also stands for Escape).  A modal dialog nobody answers aborts
     * the test, as it would wait for ever. */
    std::deque<int> dialogPresses;

    /* Called once by GetMessageA when no quit message is waiting: stands for
     * what the user does while the loop runs. */
    void (*whileLoopWaits)() = NULL;

    /* System folder and the libraries found there (lower case file names). */
    std::string systemDirectory = "C:\\WINDOWS\\system32";
    bool systemDirectoryFails = false;
    std::vector<std::string> systemLibraries = {"comctl32.dll", "winspool.drv", "shlwapi.dll", "shell32.dll",
                                                "ole32.dll", "advapi32.dll", "combase.dll", "setupapi.dll"};
    /* The names published INFs had before Windows published them, as
     * setupapi reads them: "oem3.inf" -> "VQ2200.INF" (lower-case keys). */
    std::map<std::string, std::string> originalInfNames;

    /* The message queue: messages posted to windows, first to last, then the
     * quit message.  whileChildRuns, when set, is called once by the first
     * MsgWaitForMultipleObjectsEx: it stands for what happens on the screen
     * while a tool runs (the user clicking, other programs sending). */
    std::deque<MSG> postedMessages;
    /* How many of postedMessages, from the first, the thread has looked at:
     * "functions such as PeekMessage, GetMessage ... change the state
     * information for the queue so that the input is no longer considered
     * new" (MsgWaitForMultipleObjects); a box's modal loop looks too. */
    size_t messagesSeen = 0;
    bool quitPosted = false;
    int quitCode = 0;
    void (*whileChildRuns)() = NULL;
    /* Messages DispatchMessageA handed on while a child had not ended, and
     * whether a wait for a child found COM initialised on the thread. */
    std::vector<UINT> dispatchedWhileChildRuns;
    bool waitedInComApartment = false;

    /* Window records. */
    std::deque<Window> windows;  /* every window created, in order; never removed */
    HWND focus = NULL;
    std::map<UINT_PTR, HWND> timers;  /* running timers by id */
    std::map<std::string, HICON> classIcons;  /* set with SetClassLongPtrA */
    DWORD sleptMilliseconds = 0;

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
bool CloseFileHandle(HANDLE handle, BOOL *result);
bool WaitForProcess(HANDLE handle, DWORD milliseconds, DWORD *result);

/* True while a child a launch started has not ended. */
bool ChildRunning();

/* The module LoadLibraryA gives for a system library (lower-case file name). */
HMODULE LibraryModule(const std::string &fileName);

/* winspool.drv's exports for GetProcAddress; NULL for any other name. */
FARPROC SpoolerExport(const char *name);

/* winspool.drv's administration functions (queues, ports, drivers), which
 * SpoolerExport hands on; NULL for any other name. */
FARPROC PrintAdminExport(const char *name);

/* The exports of shlwapi.dll and shell32.dll the launcher looks up; NULL for
 * any other module or name. */
FARPROC ShellExport(HMODULE module, const char *name);

/* ntdll's module (mapped in every process) and the exports of ntdll and
 * advapi32 the launcher looks up; NULL for any other. */
HMODULE NtdllModule();
FARPROC IdentityExport(HMODULE module, const char *name);

/* setupapi's exports that read a published INF's original name. */
FARPROC SetupApiExport(HMODULE module, const char *name);

/* The exports of combase and advapi32 that tell protected print mode. */
FARPROC PolicyExport(HMODULE module, const char *name);

/* The record of a window handle; NULL for a handle that names no window. */
Window *WindowOf(HWND window);

/* The first window created with this class name or template id; NULL when none. */
HWND FindWindowOfClass(const std::string &className);
HWND FindDialog(int templateId);

/* GetProcAddress by ordinal (comctl32's InitCommonControls is ordinal 17). */
FARPROC ProcByOrdinal(HMODULE module, WORD ordinal);

/* The resource id an icon handle from LoadIconA stands for, 0 for none. */
int IconId(HICON icon);

}  // namespace standin

#endif
