/* The notice shown once before the version check: which systems are served,
 * and that the driver goes on before the printer is connected. */
#ifndef UI_NOTICE_DIALOG_H
#define UI_NOTICE_DIALOG_H

#include <windows.h>

/* Runs the notice modally, owned by owner.  Returns IDOK, IDCANCEL, or -1
 * when the dialog could not be made. */
INT_PTR RunNoticeDialog(HINSTANCE instance, HWND owner);

/* The notice's dialog procedure. */
INT_PTR CALLBACK NoticeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
