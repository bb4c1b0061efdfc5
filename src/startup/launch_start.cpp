#include "startup/launch_start.h"

#include "common/launch_folder.h"
#include "common/outcome.h"
#include "common/system_probes.h"
#include "common/user_message.h"
#include "setupinfo/setup_file.h"
#include "startup/instance_guard.h"

#define MSG_FOLDER_TOO_LONG                                                                  \
    "Folder path to Software setup is too long.\nMove this Software setup to another folder " \
    "whose path within 100 characters.\n\nExit the program."

int PassStartChecks(OSVERSIONINFOEXA *version, int besideProgram)
{
    LaunchFolderChoice choice;
    ChooseLaunchFolder(besideProgram, &choice);
    if (!AdoptLaunchFolder(choice.folder)) {
        ReportOutcome(NULL, MSG_FOLDER_TOO_LONG, MB_KIND_WARNING, ERROR_INSTALL_PACKAGE_OPEN_FAILED);
        return 0;
    }
    if (!QueryVersion(version) || version->dwPlatformId == VER_PLATFORM_WIN32s) {
        SetOutcome(ERROR_INSTALL_PLATFORM_UNSUPPORTED, "The Windows version cannot be read or is not served");
        return 0;
    }
    return 1;
}

HANDLE GuardAndCheckSetupFile(const OSVERSIONINFOEXA *version)
{
    HANDLE guard = TakeInstanceGuard(ChooseMutexName(version));
    if (!guard) return NULL;
    if (!CheckSetupFileAtStart()) return NULL;
    return guard;
}
