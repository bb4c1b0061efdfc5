#include "startup/check_mode.h"

#include "common/outcome.h"
#include "setupinfo/package_check.h"

void RunCheckMode(void)
{
    SetOutcome(CheckPackage(), NULL);
}
