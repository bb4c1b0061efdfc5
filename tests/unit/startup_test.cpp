/* The start-up sequence: its order, its refusals and the instance guard. */
#include "startup/instance_guard.h"
#include "support.h"

namespace {

const char kTooLong[] =
    "Folder path to Software setup is too long.\nMove this Software setup to another folder "
    "whose path within 100 characters.\n\nExit the program.";
const char kAlreadyStarted[] = "\"" BRAND_TITLE "\" is already started.";
const char kTitle[] = BRAND_TITLE;

class StartupTest : public LauncherTest {};

/* A Windows folder path of exactly n bytes (it need not exist). */
std::string FolderOfLength(size_t n, char filler = 'a')
{
    std::string path = "C:\\";
    path += std::string(n - path.size(), filler);
    return path;
}

TEST_F(StartupTest, FolderLengthDecidesBeforeAnythingElse)
{
    struct Case {
        size_t length;
        bool refused;
    } cases[] = {{3, false}, {99, false}, {100, false}, {101, true}, {120, true}, {259, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.length);
        standin::Reset();
        sys().currentDirectory = FolderOfLength(c.length);
        EXPECT_EQ(RunLauncher(), 0);
        if (c.refused) {
            /* Nothing but the DLL search restriction, whether anybody sees the
             * screen, the folder query and the warning. */
            EXPECT_EQ(sys().calls, (std::vector<std::string>{"GetProcAddress(SetDefaultDllDirectories)",
                                                             "SetDefaultDllDirectories(0x800)",
                                                             "GetUserObjectInformationA",
                                                             "GetProcAddress(ProcessIdToSessionId)",
                                                             "ProcessIdToSessionId", "GetCurrentDirectoryA",
                                                             "MessageBoxA"}));
            ASSERT_EQ(sys().messageBoxes.size(), 1u);
            EXPECT_EQ(sys().messageBoxes[0].text, kTooLong);
            EXPECT_EQ(sys().messageBoxes[0].type, 0x10030u);
            EXPECT_EQ(sys().messageBoxes[0].owner, nullptr);
            EXPECT_EQ(sys().messageBoxes[0].caption, kTitle);
        } else {
            EXPECT_TRUE(standin::Called("GetVersionExA"));
            EXPECT_NE(MessageTexts(), std::vector<std::string>{kTooLong});
        }
    }
}

TEST_F(StartupTest, DoubleByteFolderCountsBytes)
{
    /* 60 double-byte characters in the ANSI code page are 120 bytes. */
    std::string folder = "C:\\";
    for (int i = 0; i < 60; i++) folder += "\x82\xa0";
    sys().currentDirectory = folder;
    EXPECT_EQ(RunLauncher(), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{kTooLong});
}

TEST_F(StartupTest, UnreadableFolderIsRefusedAsTooLong)
{
    struct Case {
        const char *name;
        bool fails;
        size_t length;
    } cases[] = {{"query fails", true, 10}, {"needs more than 260 bytes", false, 300}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        standin::Reset();
        sys().currentDirectoryFails = c.fails;
        sys().currentDirectory = FolderOfLength(c.length);
        EXPECT_EQ(RunLauncher(), 0);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{kTooLong});
        EXPECT_FALSE(standin::Called("GetVersionExA"));
    }
}

TEST_F(StartupTest, SystemFailuresEndSilentlyBeforeTheGuard)
{
    struct Case {
        const char *name;
        void (*script)(standin::State &);
        bool mutexCreated;
    } cases[] = {
        {"version query fails twice",
         [](standin::State &s) { s.extendedQueryFails = s.basicQueryFails = true; }, false},
        {"platform family 0", [](standin::State &s) { s.platform = VER_PLATFORM_WIN32s; }, false},
        {"class registration fails", [](standin::State &s) { s.classRegistrationFails = true; }, false},
        {"mutex cannot be created", [](standin::State &s) { s.mutex = standin::MutexScript::CreateFails; },
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        WriteValidSetupFile();
        c.script(sys());
        EXPECT_EQ(RunLauncher(), 0);
        EXPECT_TRUE(sys().messageBoxes.empty());
        EXPECT_TRUE(sys().mutexes.empty());
        EXPECT_FALSE(standin::Called("PathFileExistsA"));
    }
}

TEST_F(StartupTest, BasicVersionRecordIsEnoughToGoOn)
{
    WriteValidSetupFile();
    sys().dialogPresses = {IDCANCEL}; /* the notice is cancelled */
    sys().extendedQueryFails = true;
    EXPECT_EQ(RunLauncher(), 0);
    EXPECT_TRUE(standin::Called("GetVersionExA(148)"));
    EXPECT_EQ(sys().mutexes.size(), 1u);
}

/* Held by another copy, or made by one running as SYSTEM, which an
 * administrator's copy may not open. */
TEST_F(StartupTest, SecondInstanceIsToldAndClosesItsHandle)
{
    struct Case {
        standin::MutexScript script;
        size_t handles;
    } cases[] = {{standin::MutexScript::HeldElsewhere, 1}, {standin::MutexScript::WaitFails, 1},
                 {standin::MutexScript::MadeBySystem, 0}};
    for (const Case &c : cases) {
        Restart();
        WriteValidSetupFile();
        sys().mutex = c.script;
        EXPECT_EQ(RunLauncher(), 0);
        ASSERT_EQ(sys().messageBoxes.size(), 1u);
        EXPECT_EQ(sys().messageBoxes[0].text, kAlreadyStarted);
        EXPECT_EQ(sys().messageBoxes[0].type, 0x10040u);
        EXPECT_EQ(sys().messageBoxes[0].owner, nullptr);
        ASSERT_EQ(sys().mutexes.size(), c.handles);
        for (const standin::MutexHandle &mutex : sys().mutexes) EXPECT_TRUE(mutex.closed);
        EXPECT_FALSE(standin::Called("PathFileExistsA"));
    }
}

TEST_F(StartupTest, AbandonedGuardIsTakenOverSilently)
{
    WriteValidSetupFile();
    sys().dialogPresses = {IDCANCEL}; /* the notice is cancelled */
    sys().mutex = standin::MutexScript::Abandoned;
    EXPECT_EQ(RunLauncher(), 0);
    EXPECT_TRUE(sys().messageBoxes.empty());
    EXPECT_TRUE(standin::Called("PathFileExistsA"));
}

TEST_F(StartupTest, GuardIsOpenedNotOwnedAndWaitedForWithoutDelay)
{
    WriteValidSetupFile();
    sys().dialogPresses = {IDCANCEL}; /* the notice is cancelled */
    EXPECT_EQ(RunLauncher(), 0);
    EXPECT_TRUE(standin::Called("CreateMutexA(NULL,FALSE,Global\\" BRAND_MUTEX ")"));
    EXPECT_TRUE(standin::Called("WaitForSingleObject(0)"));
}

TEST_F(StartupTest, FailedSetupCheckKeepsTheGuardUntilTheProcessEnds)
{
    EXPECT_EQ(RunLauncher(), 0);  /* no setup file */
    ASSERT_EQ(sys().mutexes.size(), 1u);
    EXPECT_TRUE(sys().mutexes[0].owned);
    EXPECT_FALSE(sys().mutexes[0].closed);
}

TEST_F(StartupTest, GuardIsDroppedWhenTheWindowStageEndsTheLaunch)
{
    WriteValidSetupFile();
    sys().dialogPresses = {IDCANCEL}; /* the notice is cancelled */
    EXPECT_EQ(RunLauncher(), 0);
    ASSERT_EQ(sys().mutexes.size(), 1u);
    EXPECT_FALSE(sys().mutexes[0].owned);
    EXPECT_TRUE(sys().mutexes[0].closed);
    EXPECT_TRUE(sys().messageBoxes.empty());
}

TEST_F(StartupTest, ClassIsRegisteredOnlyWithoutAPreviousInstance)
{
    WriteValidSetupFile();
    sys().dialogPresses = {IDCANCEL}; /* the notice is cancelled */
    EXPECT_EQ(RunLauncher(), 0);
    ASSERT_EQ(sys().registeredClasses.size(), 1u);
    const WNDCLASSEXA &wc = sys().registeredClasses[0];
    EXPECT_EQ(wc.cbSize, sizeof(WNDCLASSEXA)); /* 48 in the 32-bit build */
    EXPECT_EQ(wc.style, 3u);
    EXPECT_STREQ(wc.lpszClassName, BRAND_WINDOW_CLASS);
    EXPECT_NE(wc.hIcon, nullptr);
    EXPECT_NE(wc.hbrBackground, nullptr);

    Restart();
    sys().dialogPresses = {IDCANCEL};
    static struct HINSTANCE__ instance, previous;
    char commandLine[] = "";
    EXPECT_EQ(WinMain(&instance, &previous, commandLine, SW_SHOWNORMAL), 0);
    EXPECT_TRUE(sys().registeredClasses.empty());
}

struct MutexCase {
    DWORD platform, major;
    BOOL wow64;
    const char *name;
    bool probed;
};

TEST(MutexNameTest, FollowsTheTableOfSystems)
{
    const char *local = BRAND_MUTEX;
    const char *global = "Global\\" BRAND_MUTEX;
    const MutexCase cases[] = {
        {1, 4, FALSE, local, false},  {1, 4, TRUE, local, false},   {2, 3, FALSE, global, false},
        {2, 4, FALSE, local, true},   {2, 4, TRUE, global, true},   {2, 5, FALSE, local, true},
        {2, 5, TRUE, global, true},   {2, 6, FALSE, global, false}, {2, 6, TRUE, global, false},
        {2, 10, FALSE, global, false}, {3, 6, TRUE, local, false},
    };
    for (const MutexCase &c : cases) {
        SCOPED_TRACE(testing::Message() << c.platform << "." << c.major << " wow64=" << c.wow64);
        standin::Reset();
        standin::state().wow64ProbePresent = true;
        standin::state().isWow64 = c.wow64;
        OSVERSIONINFOEXA version = {};
        version.dwPlatformId = c.platform;
        version.dwMajorVersion = c.major;
        EXPECT_STREQ(ChooseMutexName(&version), c.name);
        EXPECT_EQ(standin::Called("IsWow64Process"), c.probed);
    }
}

TEST(MutexNameTest, MissingProbeMeansNotWow64)
{
    standin::Reset();
    OSVERSIONINFOEXA version = {};
    version.dwPlatformId = VER_PLATFORM_WIN32_NT;
    version.dwMajorVersion = 5;
    EXPECT_STREQ(ChooseMutexName(&version), BRAND_MUTEX);
}

}  // namespace
