#include "startup/check_mode.h"

#include "common/bounded.h"
#include "common/outcome.h"
#include "setupinfo/package_check.h"

int RunCheckMode(void)
{
    int errors = 0;
    SetOutcome(CheckPackage(&errors), NULL);
    char meaning[64];
    if (errors) format_bounded(meaning, "%d errors", errors);
    else copy_bounded(meaning, "no errors in the package");
    return EndWithOutcome(meaning);
}
