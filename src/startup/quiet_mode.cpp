#include "startup/quiet_mode.h"

#include <windows.h>

#include "install/install_flow.h"
#include "startup/instance_guard.h"
#include "startup/launch_start.h"
#include "startup/version_policy.h"

void RunQuietMode(LaunchOptions *options)
{
    OSVERSIONINFOEXA version;
    if (!PassStartChecks(&version, 1)) return;
    HANDLE guard = GuardAndCheckSetupFile(&version);
    if (!guard) return;
    if (PassVersionPolicy(NULL)) RunInstallation(NULL, options->printerSwitches ? &options->printer : NULL);
    DropInstanceGuard(guard);
}
