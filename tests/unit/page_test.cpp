/* The notice dialog and the driver selection page: their procedures' rows. */
#include "setupinfo/setup_file.h"
#include "common/launch_folder.h"
#include "support.h"
#include "startup/window_mode.h"
#include "ui/frame.h"
#include "ui/notice_dialog.h"
#include "ui/page.h"

namespace {

const char kQuit[] = "Quit " BRAND_TITLE "\n\nIS it OK?";

class DialogTest : public LauncherTest {
protected:
    /* The frame with its page, after the notice was answered OK. */
    void OpenFrame()
    {
        static struct HINSTANCE__ instance;
        WriteValidSetupFile();
        ASSERT_EQ(CaptureLaunchFolder(), 1);
        ASSERT_EQ(CheckSetupFileAtStart(), 1);
        ASSERT_NE(RegisterFrameClass(&instance), 0);
        sys().dialogPresses = {IDOK};
        ASSERT_EQ(OpenWindowStage(&instance, SW_SHOWNORMAL), 1);
        sys().calls.clear();
    }

    std::string TextOf(HWND dialog, int id)
    {
        char text[600];
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
};

TEST_F(DialogTest, NoticeEndsWithThePressedButton)
{
    struct Case {
        const char *name;
        std::vector<int> presses;
        INT_PTR result;
    } cases[] = {
        {"OK or Enter", {IDOK}, IDOK},
        {"CANCEL or Escape", {IDCANCEL}, IDCANCEL},
        {"other ids are ignored", {IDC_NOTICE_TEXT, 0, IDOK}, IDOK},
    };
    static struct HINSTANCE__ instance;
    static struct HWND__ owner;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        sys().dialogPresses.assign(c.presses.begin(), c.presses.end());
        EXPECT_EQ(RunNoticeDialog(&instance, &owner), c.result);
        EXPECT_TRUE(sys().dialogPresses.empty());
        HWND notice = standin::FindDialog(IDD_NOTICE);
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(standin::WindowOf(notice)->owner, &owner);
        EXPECT_TRUE(standin::WindowOf(notice)->destroyed);
    }
}

TEST_F(DialogTest, NoticeProcedureRows)
{
    static struct HINSTANCE__ instance;
    HWND notice = CreateDialogParamA(&instance, MAKEINTRESOURCEA(IDD_NOTICE), NULL, NoticeDialogProc, 0);
    ASSERT_NE(notice, nullptr);
    /* Creation answered TRUE: the first tab stop, OK, has the focus. */
    EXPECT_EQ(GetFocus(), GetDlgItem(notice, IDOK));
    EXPECT_EQ(TextOf(notice, IDC_NOTICE_TEXT),
              "If your operating system is Windows 7 / Windows Server 2008 R2 and later, click the OK button.\n"
              "For any other Windows operating system, click the Cancel button and read \"Readme.txt\" in your "
              "operating system.\n\nRead InstallGuide.PDF or README.TXT for how to install the printer driver.");
    EXPECT_EQ(TextOf(notice, IDC_NOTICE_WARNING_TEXT),
              "For Windows 7 / Windows Server 2008 R2 and later, install the printer driver before connecting "
              "the printer to your personal computer.\nEither of the following messages is displayed in the "
              "setup program:\n  Printer is ready for installation.\n  Printer driver installation has been "
              "completed.\nAfter the message is displayed, connect the printer to your PC.");
    /* The system's icons (no instance), not the launcher's. */
    EXPECT_EQ(standin::WindowOf(GetDlgItem(notice, IDC_NOTICE_INFO_ICON))->icon, LoadIconA(NULL, IDI_ASTERISK));
    EXPECT_EQ(standin::WindowOf(GetDlgItem(notice, IDC_NOTICE_WARNING_ICON))->icon,
              LoadIconA(NULL, IDI_EXCLAMATION));

    struct Row {
        UINT message;
        WPARAM wParam;
        INT_PTR result;
        bool ended;
        INT_PTR endResult;
    } rows[] = {
        {WM_COMMAND, MAKEWPARAM(IDC_NOTICE_TEXT, BN_CLICKED), FALSE, false, 0},
        {WM_CLOSE, 0, FALSE, false, 0},
        {WM_SETREDRAW, 0, FALSE, false, 0},
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), TRUE, true, IDCANCEL},
        {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), TRUE, true, IDOK},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.message << " " << row.wParam);
        EXPECT_EQ(NoticeDialogProc(notice, row.message, row.wParam, 0), row.result);
        EXPECT_EQ(standin::WindowOf(notice)->ended, row.ended);
        EXPECT_EQ(standin::WindowOf(notice)->endResult, row.endResult);
        standin::WindowOf(notice)->ended = false;
        standin::WindowOf(notice)->endResult = 0;
    }
}

TEST_F(DialogTest, PageCommandRows)
{
    struct Row {
        const char *name;
        WORD id;
        WORD code;
        INT_PTR result;
        bool prompted;  /* the quit question came (answered No) */
        bool flowRan;   /* the launch ended through the installation flow */
    } rows[] = {
        {"CANCEL clicked", IDCANCEL, BN_CLICKED, FALSE, true, false},
        {"CANCEL, another notification", IDCANCEL, 5, FALSE, true, false},
        {"CANCEL, list selection change", IDCANCEL, CBN_SELCHANGE, TRUE, false, false},
        {"CANCEL, list closed up", IDCANCEL, CBN_CLOSEUP, TRUE, false, false},
        {"network port ticked", IDC_NETWORK_PORT, BN_CLICKED, FALSE, false, false},
        {"radio button", IDC_DRIVER_PACKAGE, BN_CLICKED, FALSE, false, false},
        {"standard OK id is not the page's", IDOK, BN_CLICKED, FALSE, false, false},
        {"OK, list selection change", IDC_PAGE_OK, CBN_SELCHANGE, TRUE, false, false},
        {"OK clicked", IDC_PAGE_OK, BN_CLICKED, FALSE, false, true},
        {"OK, another notification", IDC_PAGE_OK, 5, FALSE, false, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        OpenFrame();
        sys().messageBoxAnswers = {IDNO};
        EXPECT_EQ(PageDialogProc(g_pageWindow, WM_COMMAND, MAKEWPARAM(row.id, row.code), 0), row.result);
        bool prompted = !sys().messageBoxes.empty() && sys().messageBoxes[0].text == kQuit;
        EXPECT_EQ(prompted, row.prompted);
        EXPECT_EQ(sys().quitPosted, row.flowRan);
        if (!row.flowRan) {
            EXPECT_EQ(sys().messageBoxes.size(), row.prompted ? 1u : 0u);
        }
        EXPECT_FALSE(standin::WindowOf(g_frameWindow)->destroyed);
    }
}

TEST_F(DialogTest, PageOtherMessages)
{
    OpenFrame();
    SetFocus(NULL);
    EXPECT_EQ(PageDialogProc(g_pageWindow, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_EQ(GetFocus(), GetDlgItem(g_pageWindow, IDC_PAGE_OK));
    EXPECT_EQ(PageDialogProc(g_pageWindow, WM_SETREDRAW, 0, 0), TRUE);
    for (UINT message : {(UINT)WM_CLOSE, (UINT)WM_DESTROY, (UINT)WM_TIMER, (UINT)WM_SYSCOMMAND}) {
        SCOPED_TRACE(message);
        EXPECT_EQ(PageDialogProc(g_pageWindow, message, IDCANCEL, 0), FALSE);
    }
    EXPECT_TRUE(sys().messageBoxes.empty());
    EXPECT_FALSE(sys().quitPosted);
}

TEST_F(DialogTest, LanguageSelectionIsKeptInOneByte)
{
    /* Only page variant 214 has the list; the host builds it from this script. */
    standin::DialogTemplate language = sys().templates[IDD_PAGE];
    language.controls.insert(language.controls.begin() + 3, IDC_LANGUAGE_LIST);
    sys().templates[IDD_PAGE_LANGUAGE] = language;
    static struct HINSTANCE__ instance;
    HWND page = CreateDialogParamA(&instance, MAKEINTRESOURCEA(IDD_PAGE_LANGUAGE), NULL, PageDialogProc, 0);
    ASSERT_NE(page, nullptr);
    standin::Window &list = *standin::WindowOf(GetDlgItem(page, IDC_LANGUAGE_LIST));
    list.itemCount = 300;

    struct Row {
        int selected;
        BYTE kept;
        int shown;  /* selection after WM_SETREDRAW puts the kept index back */
    } rows[] = {{2, 2, 2}, {0, 0, 0}, {255, 255, 255}, {-1, 255, 255}, {299, 43, 43}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.selected);
        list.selection = row.selected;
        EXPECT_EQ(PageDialogProc(page, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_LIST, CBN_SELCHANGE), 0), TRUE);
        EXPECT_EQ(g_languageSelection, row.kept);
        list.selection = 7;
        EXPECT_EQ(PageDialogProc(page, WM_SETREDRAW, 0, 0), TRUE);
        EXPECT_EQ(list.selection, row.shown);
    }

    /* A short list: the kept 255 is sent as 255, not -1, so the selection stays. */
    list.itemCount = 3;
    list.selection = -1;
    PageDialogProc(page, WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_LIST, CBN_CLOSEUP), 0);
    EXPECT_EQ(g_languageSelection, 255);
    list.selection = 1;
    EXPECT_EQ(PageDialogProc(page, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_EQ(list.selection, 1);
}

TEST_F(DialogTest, PageWithoutListReadsItemZero)
{
    OpenFrame();
    g_languageSelection = 9;
    EXPECT_EQ(PageDialogProc(g_pageWindow, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OK, CBN_SELCHANGE), 0), TRUE);
    EXPECT_EQ(g_languageSelection, 0);
    EXPECT_FALSE(sys().quitPosted);
}

TEST_F(DialogTest, PageCancelGoesThroughTheQuitPrompt)
{
    OpenFrame();
    SetFocus(GetDlgItem(g_pageWindow, IDCANCEL));
    sys().messageBoxAnswers = {IDNO, IDYES};
    PageDialogProc(g_pageWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(sys().quitPosted);
    EXPECT_EQ(GetFocus(), GetDlgItem(g_pageWindow, IDCANCEL)); /* No: back where it was, page usable */
    PageDialogProc(g_pageWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(sys().quitPosted);
    EXPECT_EQ(sys().quitCode, 0);
    EXPECT_TRUE(standin::WindowOf(g_frameWindow)->destroyed);
    EXPECT_TRUE(standin::WindowOf(g_pageWindow)->destroyed);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kQuit, kQuit}));
}

}  // namespace
