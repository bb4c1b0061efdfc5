/* The driver selection page: a modeless child dialog that fills the main frame. */
#ifndef UI_PAGE_H
#define UI_PAGE_H

#include <windows.h>

/* The last selection of the language list (only page variant 214 has one),
 * kept in one byte: an empty selection (-1) is 255.  Written by the page. */
extern BYTE g_languageSelection;

/* Set by the page's OK when it starts the installation, which ends the launch. */
extern int g_installationStarted;

/* The page's dialog procedure. */
INT_PTR CALLBACK PageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

#endif
