#include "hook/hook_reply.h"

#include <string.h>

#define REPLY_TIMEOUT_MS 5000

void SendHookReply(HWND replyTo, HWND window, ULONG_PTR tag, const char *text)
{
    COPYDATASTRUCT data;
    data.dwData = tag;
    data.cbData = (DWORD)strlen(text) + 1;
    data.lpData = (void *)text;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(replyTo, WM_COPYDATA, (WPARAM)window, (LPARAM)&data, SMTO_ABORTIFHUNG, REPLY_TIMEOUT_MS,
                        &ignored);
}
