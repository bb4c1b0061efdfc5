/* The window stage: frame, notice and version policy in their order; the
 * frame's placement, system menu and page; the frame procedure and quit prompt. */
#include "setupinfo/setup_file.h"
#include "common/launch_folder.h"
#include "support.h"
#include "ui/common_controls.h"
#include "startup/window_mode.h"
#include "ui/frame.h"

#include <algorithm>

namespace {

const char kTitle[] = BRAND_TITLE;
const char kQuit[] = "Quit " BRAND_TITLE "\n\nIS it OK?";
const char kDifferent[] = "Different operating system.\nExit the program.";
const char kMissing[] = "Missing Windows operating system.\nExit the program.";

class WindowStageTest : public LauncherTest {
protected:
    /* Index of the first logged call starting with prefix at or after from; -1 when none. */
    int CallIndex(const std::string &prefix, int from = 0)
    {
        for (size_t i = (size_t)from; i < sys().calls.size(); i++)
            if (sys().calls[i].compare(0, prefix.size(), prefix) == 0) return (int)i;
        return -1;
    }

    int CountCalls(const std::string &prefix)
    {
        return (int)std::count_if(sys().calls.begin(), sys().calls.end(), [&](const std::string &call) {
            return call.compare(0, prefix.size(), prefix) == 0;
        });
    }

    /* Registers the class and runs the window stage with the notice answered OK. */
    int OpenFrame()
    {
        static struct HINSTANCE__ instance;
        WriteValidSetupFile();
        EXPECT_EQ(CaptureLaunchFolder(), 1);
        EXPECT_EQ(CheckSetupFileAtStart(), 1); /* keeps the caption text */
        EXPECT_NE(RegisterFrameClass(&instance), 0);
        sys().dialogPresses = {IDOK};
        int result = OpenWindowStage(&instance, SW_SHOWNORMAL);
        sys().calls.clear();
        return result;
    }

    HWND Control(int id) { return GetDlgItem(g_pageWindow, id); }
    standin::Window &Frame() { return *standin::WindowOf(g_frameWindow); }
};

/* The user's answer while the loop runs: close box, then Yes. */
void CloseAndConfirm()
{
    standin::state().messageBoxAnswers.push_back(IDYES);
    SendMessageA(g_frameWindow, WM_CLOSE, 0, 0);
}

TEST_F(WindowStageTest, FrameIsShownAndItsMenuTrimmedBeforeTheNotice)
{
    WriteValidSetupFile();
    sys().dialogPresses = {IDOK};
    sys().whileLoopWaits = CloseAndConfirm;
    EXPECT_EQ(RunLauncher(), 0);

    int created = CallIndex("CreateWindowExA(" BRAND_WINDOW_CLASS ")");
    int page = CallIndex("CreateDialogParamA(220)", created);
    int moved = CallIndex("MoveWindow", page + 1);
    int moveFrame = CallIndex("MoveWindow", moved + 1);
    int shown = CallIndex("ShowWindow(1)", moveFrame);
    int updated = CallIndex("UpdateWindow", shown);
    int menu = CallIndex("GetSystemMenu(FALSE)", updated);
    int query = CallIndex("GetVersionExA", menu);
    int notice = CallIndex("DialogBoxParamA(205)", query);
    int updatedAgain = CallIndex("UpdateWindow", notice);
    for (int index : {created, page, moved, moveFrame, shown, updated, menu, query, notice, updatedAgain})
        EXPECT_GE(index, 0);
    EXPECT_TRUE(created < page && page < moveFrame && moveFrame < shown && shown < updated && updated < menu &&
                menu < query && query < notice && notice < updatedAgain);

    /* The notice was owned by the frame, and the focus went to the frame after it. */
    HWND noticeDialog = standin::FindDialog(IDD_NOTICE);
    ASSERT_NE(noticeDialog, nullptr);
    EXPECT_EQ(standin::WindowOf(noticeDialog)->owner, g_frameWindow);
    int focused = CallIndex("SetFocus", CallIndex("EndDialog"));
    EXPECT_GT(focused, notice);
    EXPECT_LT(focused, updatedAgain);

    /* Quitting destroyed the frame and the launch ended with the loop's code 0. */
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{kQuit});
    EXPECT_TRUE(Frame().destroyed);
    EXPECT_TRUE(sys().mutexes[0].closed);
}

TEST_F(WindowStageTest, FrameHasTheTitleStyleAndNoMaximizeOrSize)
{
    ASSERT_EQ(OpenFrame(), 1);
    EXPECT_EQ(Frame().text, kTitle);
    EXPECT_EQ(Frame().style, 0x00CA0000u);
    EXPECT_EQ(Frame().parent, nullptr);
    EXPECT_TRUE(Frame().visible);
    const std::vector<UINT> &items = Frame().systemMenu;
    EXPECT_EQ(std::count(items.begin(), items.end(), (UINT)SC_MAXIMIZE), 0);
    EXPECT_EQ(std::count(items.begin(), items.end(), (UINT)SC_SIZE), 0);
    EXPECT_EQ(std::count(items.begin(), items.end(), (UINT)SC_MINIMIZE), 1);
    EXPECT_EQ(std::count(items.begin(), items.end(), (UINT)SC_CLOSE), 1);
}

TEST_F(WindowStageTest, EndingsOfTheStage)
{
    struct Case {
        const char *name;
        void (*script)(standin::State &);
        std::vector<int> presses;
        int result;
        std::vector<std::string> messages;
        bool noticeShown;
    } cases[] = {
        {"window creation fails", [](standin::State &s) { s.windowCreationFails = true; }, {}, 0, {}, false},
        {"notice cancelled", [](standin::State &) {}, {IDCANCEL}, 0, {}, true},
        {"notice cannot be made: goes on", [](standin::State &s) { s.templates.erase(IDD_NOTICE); }, {}, 1, {},
         false},
        {"6.0 refused", [](standin::State &s) { s.major = 6, s.minor = 0; }, {IDOK}, 0, {kDifferent}, true},
        {"5.1 refused", [](standin::State &s) { s.major = 5, s.minor = 1; }, {IDOK}, 0, {kDifferent}, true},
        {"4.0 refused", [](standin::State &s) { s.major = 4, s.minor = 0; }, {IDOK}, 0, {kDifferent}, true},
        {"3.51 refused", [](standin::State &s) { s.major = 3, s.minor = 51; }, {IDOK}, 0, {kMissing}, true},
        {"10.0 refused", [](standin::State &s) { s.major = 10, s.minor = 0; }, {IDOK}, 0, {kMissing}, true},
        {"9x refused",
         [](standin::State &s) { s.platform = VER_PLATFORM_WIN32_WINDOWS, s.major = 4, s.minor = 10; }, {IDOK}, 0,
         {kDifferent}, true},
        {"6.1 accepted", [](standin::State &) {}, {IDOK}, 1, {}, true},
        {"6.2 accepted", [](standin::State &s) { s.minor = 2; }, {IDOK}, 1, {}, true},
    };
    static struct HINSTANCE__ instance;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        c.script(sys());
        sys().dialogPresses.assign(c.presses.begin(), c.presses.end());
        ASSERT_NE(RegisterFrameClass(&instance), 0);
        EXPECT_EQ(OpenWindowStage(&instance, SW_SHOWNORMAL), c.result);
        EXPECT_EQ(MessageTexts(), c.messages);
        EXPECT_TRUE(sys().dialogPresses.empty());
        EXPECT_EQ(standin::FindDialog(IDD_NOTICE) != NULL, c.noticeShown);
        for (const standin::MessageBoxCall &box : sys().messageBoxes) {
            EXPECT_EQ(box.owner, g_frameWindow);
            EXPECT_EQ(box.type, 0x10030u);
            EXPECT_EQ(box.caption, kTitle);
        }
        if (c.noticeShown) {
            EXPECT_TRUE(Frame().visible);
        }
    }
}

TEST_F(WindowStageTest, FailedVersionQueryEndsAfterShowingWithoutANotice)
{
    /* Count the queries made before the frame, then let the frame's own one fail. */
    WriteValidSetupFile();
    sys().dialogPresses = {IDCANCEL};
    EXPECT_EQ(RunLauncher(), 0);
    int before = 0;
    for (int i = 0; i < CallIndex("CreateWindowExA"); i++)
        if (sys().calls[(size_t)i].compare(0, 13, "GetVersionExA") == 0) before++;

    Restart();
    WriteValidSetupFile();
    sys().versionQueriesLeft = before;
    EXPECT_EQ(RunLauncher(), 0);
    EXPECT_TRUE(sys().messageBoxes.empty());
    EXPECT_GE(CallIndex("ShowWindow(1)"), 0);
    EXPECT_LT(CallIndex("DialogBoxParamA"), 0);
    EXPECT_TRUE(sys().mutexes[0].closed);
}

TEST_F(WindowStageTest, FrameIsCentredOnThePageWithoutBorders)
{
    struct Case {
        int screenWidth, screenHeight, caption;
        LONG pageWidth, pageHeight;
        int x, y;
    } cases[] = {
        {1024, 768, 18, 270, 301, 377, 224},
        {1023, 767, 18, 270, 301, 376, 224},
        {1920, 1080, 23, 271, 300, 824, 378},
        {270, 319, 18, 270, 301, 0, 0},
        /* Smaller screens: negative places, divided toward zero (floor would give -36 and -85). */
        {199, 150, 18, 270, 301, -35, -84},
        {0, 0, 0, 270, 301, -135, -150},
    };
    static struct HINSTANCE__ instance;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenWidth << "x" << c.screenHeight);
        Restart();
        sys().screenWidth = c.screenWidth;
        sys().screenHeight = c.screenHeight;
        sys().captionHeight = c.caption;
        sys().templates[IDD_PAGE].width = c.pageWidth;
        sys().templates[IDD_PAGE].height = c.pageHeight;
        sys().dialogPresses = {IDCANCEL};
        ASSERT_NE(RegisterFrameClass(&instance), 0);
        OpenWindowStage(&instance, SW_SHOWNORMAL);
        EXPECT_EQ(Frame().x, c.x);
        EXPECT_EQ(Frame().y, c.y);
        EXPECT_EQ(Frame().width, c.pageWidth);
        EXPECT_EQ(Frame().height, c.pageHeight + c.caption);
        std::string move = "MoveWindow(" + std::to_string(c.x) + "," + std::to_string(c.y) + ",";
        EXPECT_GE(CallIndex(move), 0);
        EXPECT_EQ(sys().calls[(size_t)CallIndex(move)].substr(sys().calls[(size_t)CallIndex(move)].size() - 5),
                  "TRUE)");
    }
}

TEST_F(WindowStageTest, PageIsBuiltInsideTheFrameWithItsTexts)
{
    ASSERT_EQ(OpenFrame(), 1);
    standin::Window &page = *standin::WindowOf(g_pageWindow);
    EXPECT_EQ(page.parent, g_frameWindow);
    EXPECT_EQ(page.templateId, IDD_PAGE);
    EXPECT_EQ(page.x, 0);
    EXPECT_EQ(page.y, 0);
    EXPECT_EQ(page.width, 315);
    EXPECT_EQ(page.height, 301);
    EXPECT_TRUE(page.visible);
    EXPECT_EQ(page.instance, Frame().instance);
    EXPECT_EQ(standin::IconId(sys().classIcons[page.className]), IDI_PRINTER);
    EXPECT_EQ(standin::WindowOf(Control(IDC_PAGE_INSTRUCTION))->text,
              "Select a printer driver.\nTo use a network port, check mark the option \"Use a network port\".");
    EXPECT_EQ(standin::WindowOf(Control(IDC_PAGE_MODEL_GROUP))->text, "VQ-2200 Series");
    EXPECT_EQ(IsDlgButtonChecked(g_pageWindow, IDC_NETWORK_PORT), 0u);
    EXPECT_EQ(IsDlgButtonChecked(g_pageWindow, IDC_DRIVER_PACKAGE), 0u);
}

TEST_F(WindowStageTest, CommonControlsComeFromTheSystemFolderByOrdinal)
{
    struct Case {
        const char *name;
        void (*script)(standin::State &);
        std::vector<std::string> calls;
    } cases[] = {
        {"found",
         [](standin::State &) {},
         {"GetSystemDirectoryA", "LoadLibraryA(C:\\WINDOWS\\system32\\comctl32.dll)", "GetProcAddress(#17)",
          "InitCommonControls"}},
        {"not in the system folder", [](standin::State &s) { s.systemLibraries = {"shlwapi.dll"}; },
         {"GetSystemDirectoryA", "LoadLibraryA(C:\\WINDOWS\\system32\\comctl32.dll)"}},
        {"system folder unknown", [](standin::State &s) { s.systemDirectoryFails = true; },
         {"GetSystemDirectoryA"}},
        {"system folder longer than the buffer",
         [](standin::State &s) { s.systemDirectory = "C:\\" + std::string(257, 'w'); },
         {"GetSystemDirectoryA"}},
        {"folder and name pass 259 bytes",
         [](standin::State &s) { s.systemDirectory = "C:\\" + std::string(250, 'w'); },
         {"GetSystemDirectoryA"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        standin::Reset();
        c.script(sys());
        InitSystemCommonControls();
        EXPECT_EQ(sys().calls, c.calls);
    }
}

TEST_F(WindowStageTest, PageStillComesWithoutCommonControls)
{
    sys().systemLibraries = {"shlwapi.dll"};
    ASSERT_EQ(OpenFrame(), 1);
    EXPECT_NE(g_pageWindow, nullptr);
    EXPECT_EQ(standin::WindowOf(Control(IDC_PAGE_MODEL_GROUP))->text, "VQ-2200 Series");
}

/* Rows of the frame procedure, each after the focus memory was set to CANCEL. */
struct FrameRow {
    const char *name;
    UINT message;
    WPARAM wParam;
    int focusId;         /* page control with the focus when the message comes; 0 for none */
    bool defaultCalled;  /* reached DefWindowProcA */
    int memoryId;        /* page control the memory then names */
    bool timerRunning;   /* timer 2 afterwards */
};

TEST_F(WindowStageTest, FrameProcedureRows)
{
    const FrameRow rows[] = {
        {"size restored", WM_SIZE, SIZE_RESTORED, IDC_PAGE_OK, false, IDCANCEL, true},
        {"size minimised", WM_SIZE, SIZE_MINIMIZED, IDC_PAGE_OK, false, IDCANCEL, false},
        {"size maximised", WM_SIZE, SIZE_MAXIMIZED, IDC_PAGE_OK, false, IDCANCEL, false},
        {"deactivated", WM_ACTIVATE, WA_INACTIVE, IDC_PAGE_OK, false, IDC_PAGE_OK, false},
        {"deactivated, no focus", WM_ACTIVATE, WA_INACTIVE, 0, false, IDCANCEL, false},
        {"activated", WM_ACTIVATE, WA_ACTIVE, IDC_PAGE_OK, false, IDCANCEL, false},
        {"deactivated while minimised", WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), IDC_PAGE_OK, false, IDCANCEL,
         false},
        {"focus lost", WM_KILLFOCUS, 0, IDC_PAGE_OK, false, IDC_PAGE_OK, false},
        {"focus lost, none left", WM_KILLFOCUS, 0, 0, false, IDCANCEL, false},
        {"minimise", WM_SYSCOMMAND, SC_MINIMIZE, IDC_PAGE_OK, true, IDC_PAGE_OK, false},
        {"minimise, no focus", WM_SYSCOMMAND, SC_MINIMIZE, 0, true, IDCANCEL, false},
        {"minimise with low bits set", WM_SYSCOMMAND, SC_MINIMIZE | 2, IDC_PAGE_OK, true, IDCANCEL, false},
        {"move", WM_SYSCOMMAND, SC_MOVE, IDC_PAGE_OK, true, IDCANCEL, false},
        {"not listed", WM_SETTEXT, 0, IDC_PAGE_OK, true, IDCANCEL, false},
    };
    ASSERT_EQ(OpenFrame(), 1);
    for (const FrameRow &row : rows) {
        SCOPED_TRACE(row.name);
        /* Memory = CANCEL: a focus loss while CANCEL had the focus. */
        SetFocus(Control(IDCANCEL));
        SendMessageA(g_frameWindow, WM_KILLFOCUS, 0, 0);
        sys().timers.clear();
        SetFocus(row.focusId ? Control(row.focusId) : NULL);
        sys().calls.clear();
        sys().sleptMilliseconds = 0;

        EXPECT_EQ(SendMessageA(g_frameWindow, row.message, row.wParam, 0), 0);
        EXPECT_EQ(CountCalls("DefWindowProcA"), row.defaultCalled ? 1 : 0);
        EXPECT_EQ(sys().timers.count(2) == 1, row.timerRunning);
        EXPECT_EQ(CallIndex("SetTimer(2,10,NULL)") >= 0, row.timerRunning);
        EXPECT_EQ(sys().sleptMilliseconds, row.message == WM_KILLFOCUS ? 100u : 0u);
        EXPECT_FALSE(sys().quitPosted);
        EXPECT_TRUE(sys().messageBoxes.empty());

        /* WM_SETFOCUS hands the focus to the memory. */
        SetFocus(NULL);
        EXPECT_EQ(SendMessageA(g_frameWindow, WM_SETFOCUS, 0, 0), 0);
        EXPECT_EQ(GetFocus(), Control(row.memoryId));
    }
}

TEST_F(WindowStageTest, TimerGivesTheFocusBackAndStopsTimerTwoWhateverFired)
{
    ASSERT_EQ(OpenFrame(), 1);
    for (WPARAM fired : {(WPARAM)2, (WPARAM)7}) {
        SCOPED_TRACE(fired);
        SetFocus(Control(IDC_NETWORK_PORT));
        SendMessageA(g_frameWindow, WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessageA(g_frameWindow, WM_SIZE, SIZE_RESTORED, 0);
        SetFocus(NULL);
        ASSERT_EQ(sys().timers.count(2), 1u);
        EXPECT_EQ(SendMessageA(g_frameWindow, WM_TIMER, fired, 0), 0);
        EXPECT_EQ(sys().timers.count(2), 0u);
        EXPECT_EQ(GetFocus(), Control(IDC_NETWORK_PORT));
        EXPECT_EQ(CountCalls("DefWindowProcA"), 0);
    }
}

TEST_F(WindowStageTest, DestroyPostsQuitWithCodeZero)
{
    ASSERT_EQ(OpenFrame(), 1);
    EXPECT_EQ(SendMessageA(g_frameWindow, WM_DESTROY, 0, 0), 0);
    EXPECT_TRUE(sys().quitPosted);
    EXPECT_EQ(sys().quitCode, 0);
    EXPECT_EQ(CountCalls("DefWindowProcA"), 0);
    EXPECT_FALSE(Frame().destroyed); /* sent, not destroyed */
}

TEST_F(WindowStageTest, QuitPromptAnswers)
{
    struct Case {
        const char *name;
        int answer;
        LRESULT result;
        bool ended;
        bool focusBack;
    } cases[] = {
        {"Yes", IDYES, 0, true, false},
        {"No", IDNO, 1, false, true},
        {"neither", IDCANCEL, 0, false, false},
        {"box failed", 0, 0, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        ASSERT_EQ(OpenFrame(), 1);
        SetFocus(Control(IDC_NETWORK_PORT));
        sys().messageBoxAnswers = {c.answer};
        /* Whatever the prompt does with the focus, it starts from the box taking it. */
        EXPECT_EQ(SendMessageA(g_frameWindow, WM_CLOSE, 0, 0), c.result);
        ASSERT_EQ(sys().messageBoxes.size(), 1u);
        EXPECT_EQ(sys().messageBoxes[0].text, kQuit);
        EXPECT_EQ(sys().messageBoxes[0].type, 0x24u);
        EXPECT_EQ(sys().messageBoxes[0].owner, g_frameWindow);
        EXPECT_EQ(sys().messageBoxes[0].caption, kTitle);
        EXPECT_EQ(Frame().destroyed, c.ended);
        EXPECT_EQ(sys().quitPosted, c.ended);
        EXPECT_EQ(sys().quitCode, 0);
        EXPECT_EQ(CountCalls("DefWindowProcA"), 0);
        EXPECT_EQ(CallIndex("SetFocus", CallIndex("MessageBoxA")) >= 0, c.focusBack);
    }
}

TEST_F(WindowStageTest, CloseRemembersEvenNoFocus)
{
    ASSERT_EQ(OpenFrame(), 1);
    SetFocus(Control(IDC_PAGE_OK));
    SendMessageA(g_frameWindow, WM_KILLFOCUS, 0, 0);
    SetFocus(NULL);
    sys().messageBoxAnswers = {IDNO};
    EXPECT_EQ(SendMessageA(g_frameWindow, WM_CLOSE, 0, 0), 1);
    EXPECT_EQ(GetFocus(), nullptr);
    SetFocus(Control(IDCANCEL));
    SendMessageA(g_frameWindow, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowStageTest, NoKeepsTheLauncherRunningUntilYes)
{
    WriteValidSetupFile();
    sys().dialogPresses = {IDOK};
    sys().whileLoopWaits = [] {
        SetFocus(GetDlgItem(g_pageWindow, IDC_NETWORK_PORT));
        standin::state().messageBoxAnswers = {IDNO, IDYES};
        SendMessageA(g_frameWindow, WM_CLOSE, 0, 0);
        EXPECT_FALSE(standin::state().quitPosted);
        EXPECT_EQ(GetFocus(), GetDlgItem(g_pageWindow, IDC_NETWORK_PORT));
        SendMessageA(g_frameWindow, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(RunLauncher(), 0);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kQuit, kQuit}));
    EXPECT_FALSE(sys().mutexes[0].owned);
    EXPECT_TRUE(sys().mutexes[0].closed);
}

}  // namespace
