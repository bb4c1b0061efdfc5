#include "uidriver/box_spy.h"

#include <stdio.h>
#include <string.h>

#include "hook/message_box_spy.h"
#include "uidriver/hook_request.h"

static const HookRequest kInstallSpy = {E2E_BOX_SPY_DLL, E2E_BOX_SPY_PROC, E2E_BOX_SPY_INSTALL,
                                        E2E_BOX_SPY_REPLY, "box_spy_failed"};

int InstallBoxSpy(HWND window, long timeoutMs)
{
    static char reply[1024];
    if (!RequestFromHook(window, &kInstallSpy, 0, timeoutMs, reply, sizeof reply)) return 0;
    puts(reply);
    fflush(stdout);
    if (strstr(reply, "\"patched\":0") == NULL) return 1;
    puts("{\"event\":\"box_spy_failed\",\"problem\":\"no MessageBoxA import redirected\"}");
    fflush(stdout);
    return 0;
}
