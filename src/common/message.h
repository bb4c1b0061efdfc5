/* The product's texts and its four kinds of message box. */
#ifndef COMMON_MESSAGE_H
#define COMMON_MESSAGE_H

#include <windows.h>

#include "resource.h"

#define WINDOW_CLASS_NAME "Zembrix VQ Series Printer Driver Package"

/* Every box has the product title as caption and one of these sets of flags. */
#define MB_KIND_WARNING (MB_SETFOREGROUND | MB_ICONWARNING | MB_OK)
#define MB_KIND_INFORMATION (MB_SETFOREGROUND | MB_ICONINFORMATION | MB_OK)
#define MB_KIND_ERROR (MB_SETFOREGROUND | MB_ICONERROR | MB_OK)
#define MB_KIND_QUESTION (MB_YESNO | MB_ICONQUESTION)

/* Shows text in a message box of the given kind and logs both; returns the
 * button pressed.  In quiet mode the text is logged only, and the answer is IDOK. */
int ShowMessage(HWND owner, const char *text, UINT kind);

#endif
