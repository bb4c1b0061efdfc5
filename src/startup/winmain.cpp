/* The launcher's entry: the start-up checks in their fixed order, then the message loop. */
#include <windows.h>

#include "common/message.h"
#include "setupinfo/setup_file.h"
#include "startup/dll_search.h"
#include "startup/instance_guard.h"
#include "startup/launch_folder.h"
#include "startup/system_probes.h"
#include "ui/frame.h"

#define MSG_FOLDER_TOO_LONG                                                                  \
    "Folder path to Software setup is too long.\nMove this Software setup to another folder " \
    "whose path within 100 characters.\n\nExit the program."

/* Dispatches messages until the quit message; returns its code. */
static int RunMessageLoop(void)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    RestrictDllSearch();
    (void)commandLine;
    if (!CaptureLaunchFolder()) {
        ShowMessage(NULL, MSG_FOLDER_TOO_LONG, MB_KIND_WARNING);
        return 0;
    }
    OSVERSIONINFOEXA version;
    if (!QueryVersion(&version)) return 0;
    if (version.dwPlatformId == VER_PLATFORM_WIN32s) return 0;
    const char *mutexName = ChooseMutexName(&version);
    if (previous == NULL && !RegisterFrameClass(instance)) return 0;
    HANDLE guard = TakeInstanceGuard(mutexName);
    if (!guard) return 0;
    /* On a failed check the guard stays held until the process ends. */
    if (!CheckSetupFileAtStart()) return 0;
    if (!CreateFrameWindow(instance, showCommand)) {
        DropInstanceGuard(guard);
        return 0;
    }
    int exitCode = RunMessageLoop();
    DropInstanceGuard(guard);
    return exitCode;
}
