#include "uidriver/system_menu.h"

#include <stdio.h>

#include "hook/system_menu_hook.h"
#include "uidriver/hook_request.h"

static const HookRequest kMenuQuery = {E2E_HOOK_DLL, E2E_HOOK_PROC, E2E_SYSTEM_MENU_QUERY, E2E_SYSTEM_MENU_REPLY,
                                       "system_menu_failed"};

int PrintSystemMenu(HWND window, long iconId, long timeoutMs)
{
    static char reply[16384];
    if (!RequestFromHook(window, &kMenuQuery, (LPARAM)iconId, timeoutMs, reply, sizeof reply)) return 0;
    puts(reply);
    fflush(stdout);
    return 1;
}
