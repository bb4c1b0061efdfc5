#include "ui/notice_dialog.h"

#include "resource.h"

#define NOTICE_SYSTEMS_TEXT                                                                              \
    "If your operating system is Windows 7 / Windows Server 2008 R2 and later, click the OK button.\n" \
    "For any other Windows operating system, click the Cancel button and read \"Readme.txt\" in your " \
    "operating system.\n\nRead InstallGuide.PDF or README.TXT for how to install the printer driver."

#define NOTICE_ORDER_TEXT                                                                                   \
    "For Windows 7 / Windows Server 2008 R2 and later, install the printer driver before connecting the " \
    "printer to your personal computer.\nEither of the following messages is displayed in the setup "     \
    "program:\n  Printer is ready for installation.\n  Printer driver installation has been completed.\n" \
    "After the message is displayed, connect the printer to your PC."

/* Fills the two texts and the system information and warning icons. */
static void FillNotice(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_NOTICE_TEXT, NOTICE_SYSTEMS_TEXT);
    SetDlgItemTextA(dialog, IDC_NOTICE_WARNING_TEXT, NOTICE_ORDER_TEXT);
    SendDlgItemMessageA(dialog, IDC_NOTICE_INFO_ICON, STM_SETICON, (WPARAM)LoadIconA(NULL, IDI_ASTERISK), 0);
    SendDlgItemMessageA(dialog, IDC_NOTICE_WARNING_ICON, STM_SETICON, (WPARAM)LoadIconA(NULL, IDI_EXCLAMATION),
                        0);
}

INT_PTR CALLBACK NoticeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        FillNotice(dialog);
        return TRUE; /* the system focuses the first tab stop, OK */
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR RunNoticeDialog(HINSTANCE instance, HWND owner)
{
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_NOTICE), owner, NoticeDialogProc, 0);
}
