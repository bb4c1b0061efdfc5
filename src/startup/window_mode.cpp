#include "startup/window_mode.h"

#include "common/launch_log.h"
#include "common/system_probes.h"
#include "setupinfo/setup_file.h"
#include "startup/instance_guard.h"
#include "startup/launch_start.h"
#include "startup/version_policy.h"
#include "ui/frame.h"
#include "ui/notice_dialog.h"

/* Dispatches messages until the quit message; returns its code.  The page
 * gets no dialog keyboard handling. */
static int RunMessageLoop(void)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int OpenWindowStage(HINSTANCE instance, int showCommand)
{
    HWND frame = CreateFrameWindow(instance, showCommand, g_captionText);
    if (!frame) return 0;
    OSVERSIONINFOEXA version;
    if (!QueryVersion(&version)) return 0;
    INT_PTR noticeAnswer = RunNoticeDialog(instance, frame);
    LogLine("Notice: %s", noticeAnswer == IDOK ? "OK" : noticeAnswer == IDCANCEL ? "Cancel" : "could not be shown");
    SetFocus(frame);
    if (noticeAnswer == IDCANCEL) return 0;
    UpdateWindow(frame);
    return AcceptVersion(frame, &version);
}

int RunWindowMode(HINSTANCE instance, HINSTANCE previous, int showCommand)
{
    OSVERSIONINFOEXA version;
    if (!PassStartChecks(&version, 0)) return 0;
    if (previous == NULL && !RegisterFrameClass(instance)) {
        LogLine("The window class cannot be registered");
        return 0;
    }
    HANDLE guard = GuardAndCheckSetupFile(&version);
    if (!guard) return 0;
    int exitCode = 0;
    if (OpenWindowStage(instance, showCommand)) exitCode = RunMessageLoop();
    DropInstanceGuard(guard);
    return exitCode;
}
