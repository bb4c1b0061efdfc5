#include "common/message.h"

int ShowMessage(HWND owner, const char *text, UINT kind)
{
    return MessageBoxA(owner, text, PRODUCT_TITLE, kind);
}
