#include "startup/check_mode.h"

#include "common/bounded.h"
#include "common/outcome.h"
#include "setupinfo/package_check.h"
#include "setupinfo/setup_file.h"

int RunCheckMode(void)
{
    /* The package beside the executable, when the current folder has none:
     * the check then reads it from there. */
    LaunchFolderChoice choice;
    ChooseLaunchFolder(1, &choice);
    if (choice.ofProgram) SetCurrentDirectoryA(choice.folder);
    int errors = 0;
    SetOutcome(CheckPackage(&errors), NULL);
    char meaning[64];
    if (errors) format_bounded(meaning, errors == 1 ? "%d error" : "%d errors", errors);
    else copy_bounded(meaning, "no errors in the package");
    return EndWithOutcome(meaning);
}
