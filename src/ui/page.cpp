#include "ui/page.h"

#include "install/install_flow.h"
#include "resource.h"
#include "ui/frame.h"

BYTE g_languageSelection;
int g_installationStarted;

/* Shows the kept selection in the language list, where the page has one. */
static void ShowLanguageSelection(HWND page)
{
    SendDlgItemMessageA(page, IDC_LANGUAGE_LIST, CB_SETCURSEL, g_languageSelection, 0);
}

static void KeepLanguageSelection(HWND page)
{
    g_languageSelection = (BYTE)SendDlgItemMessageA(page, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0);
}

/* The page's own controls take no input once the installation runs; the
 * frame stays enabled, so that Windows can activate it again when a tool's
 * window closes (it skips a disabled window) and the outcome box comes on top. */
static void DisableControls(HWND page)
{
    static const int CONTROLS[] = {IDC_PAGE_OK, IDCANCEL, IDC_NETWORK_PORT};
    for (size_t i = 0; i < sizeof CONTROLS / sizeof CONTROLS[0]; i++)
        EnableWindow(GetDlgItem(page, CONTROLS[i]), FALSE);
}

/* Any notification but the two list ones counts as a press of the button. */
static INT_PTR OnCommand(HWND page, WORD id, WORD code)
{
    if (code == CBN_SELCHANGE || code == CBN_CLOSEUP) {
        KeepLanguageSelection(page);
        return TRUE;
    }
    /* Once OK has started the installation, the page's buttons start nothing
     * more: its messages are still handled while a tool runs. */
    if (g_installationStarted) return FALSE;
    if (id == IDCANCEL) {
        SendMessageA(g_frameWindow, WM_CLOSE, 0, 0); /* the frame asks before quitting */
    } else if (id == IDC_PAGE_OK) {
        g_installationStarted = 1;
        DisableControls(page);
        RunInstallation(page, NULL);
        /* The end of the launch, whatever the outcome: straight to the frame's
         * destroy handling, which posts the quit message. */
        SendMessageA(g_frameWindow, WM_DESTROY, 0, 0);
    }
    return FALSE;
}

INT_PTR CALLBACK PageDialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        g_installationStarted = 0;
        SetFocus(GetDlgItem(page, IDC_PAGE_OK));
        ShowLanguageSelection(page);
        return TRUE;
    case WM_SETREDRAW:
        ShowLanguageSelection(page);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    default:
        return FALSE;
    }
}
