#include "common/user_message.h"

#include <string.h>

#include "common/bounded.h"
#include "common/console.h"
#include "common/launch_log.h"

MessageOutput g_messageOutput = MESSAGES_IN_BOXES;

static const char *KindName(UINT kind)
{
    switch (kind) {
    case MB_KIND_WARNING: return "warning";
    case MB_KIND_INFORMATION: return "information";
    case MB_KIND_ERROR: return "error";
    case MB_KIND_QUESTION: return "question";
    default: return "message";
    }
}

static const char *AnswerName(int answer)
{
    switch (answer) {
    case IDOK: return "OK";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "no answer";
    }
}

void ReadSystemText(DWORD code, char (&text)[SYSTEM_TEXT_SIZE])
{
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code,
                                  MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), text, sizeof text, NULL);
    if (length == 0 || length >= sizeof text) format_bounded(text, "error %lu", (unsigned long)code);
    for (size_t end = strlen(text); end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n'); end--)
        text[end - 1] = '\0';
}

/* The log gets the text before the box is up, so a run killed while it
 * waits shows what it waited for, and the answer once it is given. */
int ShowMessage(HWND owner, const char *text, UINT kind)
{
    char label[64];
    if (g_messageOutput != MESSAGES_IN_BOXES) {
        format_bounded(label, "Not shown (quiet mode), %s: ", KindName(kind));
        LogText(label, text);
        if (g_messageOutput == MESSAGES_ON_CONSOLE) WriteConsoleText(text);
        return IDOK;
    }
    format_bounded(label, "Message box, %s: ", KindName(kind));
    LogText(label, text);
    int answer = MessageBoxA(owner, text, PRODUCT_TITLE, kind);
    LogLine("Answered: %s", AnswerName(answer));
    return answer;
}
