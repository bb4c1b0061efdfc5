#include "deploy/quiet_install.h"

#include <windows.h>

#include "deploy/outcome.h"
#include "install/install_flow.h"
#include "startup/system_probes.h"
#include "startup/version_policy.h"

void InstallQuietly(void)
{
    OSVERSIONINFOEXA version;
    if (!QueryVersion(&version)) {
        SetOutcome(ERROR_INSTALL_PLATFORM_UNSUPPORTED, "The Windows version cannot be read");
        return;
    }
    if (!AcceptVersion(NULL, &version)) return;
    RunInstallation(NULL);
}
