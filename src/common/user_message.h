/* Telling the user: a message box of one of four kinds in window mode; where
 * nobody looks at the screen, the log (and the package check's console). */
#ifndef COMMON_USER_MESSAGE_H
#define COMMON_USER_MESSAGE_H

#include <windows.h>

#include "resource.h"

/* Every box has the product title as caption and one of these sets of flags. */
#define MB_KIND_WARNING (MB_SETFOREGROUND | MB_ICONWARNING | MB_OK)
#define MB_KIND_INFORMATION (MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OK)
#define MB_KIND_ERROR (MB_SETFOREGROUND | MB_ICONERROR | MB_OK)
#define MB_KIND_QUESTION (MB_YESNO | MB_ICONQUESTION)

/* Where ShowMessage tells a text. */
enum MessageOutput {
    MESSAGES_IN_BOXES,   /* a box; the log gets its text and the answer */
    MESSAGES_IN_LOG,     /* the log only, as not shown */
    MESSAGES_ON_CONSOLE  /* the log, and the console the package check reports to */
};

/* Set by WinMain for the mode it picks; a box until then. */
extern MessageOutput g_messageOutput;

#define SYSTEM_TEXT_SIZE 512

/* The system's words for error code, without their line break; "error N"
 * where it has none. */
void ReadSystemText(DWORD code, char (&text)[SYSTEM_TEXT_SIZE]);

/* Tells text as g_messageOutput says, in a box of the given kind owned by
 * owner; returns the button pressed, IDOK when no box was shown. */
int ShowMessage(HWND owner, const char *text, UINT kind);

#endif
