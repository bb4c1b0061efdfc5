#include "ui/common_controls.h"

#include <windows.h>

#include "common/system_library.h"

/* comctl32 exports InitCommonControls by this ordinal. */
#define ORDINAL_INIT_COMMON_CONTROLS 17

typedef void(WINAPI *InitCommonControlsEntry)(void);

/* The library stays loaded: the controls it registers live in it. */
void InitSystemCommonControls(void)
{
    InitCommonControlsEntry initialize = (InitCommonControlsEntry)FindSystemFunction(
        "comctl32.dll", MAKEINTRESOURCEA(ORDINAL_INIT_COMMON_CONTROLS));
    if (initialize) initialize();
}
