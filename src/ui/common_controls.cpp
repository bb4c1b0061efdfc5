#include "ui/common_controls.h"

#include <windows.h>

#include "common/system_library.h"

/* comctl32 exports InitCommonControls by this ordinal. */
#define ORDINAL_INIT_COMMON_CONTROLS 17

typedef void(WINAPI *InitCommonControlsEntry)(void);

/* The library stays loaded: the controls it registers live in it. */
void InitSystemCommonControls(void)
{
    HMODULE comctl32 = LoadSystemLibrary("comctl32.dll");
    if (!comctl32) return;
    FARPROC entry = GetProcAddress(comctl32, MAKEINTRESOURCEA(ORDINAL_INIT_COMMON_CONTROLS));
    if (entry) ((InitCommonControlsEntry)(void (*)(void))entry)();
}
