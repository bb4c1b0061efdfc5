/* Shell launch and wait, run and wait: launch records, waits, exit codes. */
#include "install/child_process.h"
#include "support.h"

#include <shellapi.h>
#include <string.h>

namespace {

HWND Owner()
{
    static struct HWND__ owner;
    return &owner;
}

standin::ChildScript Child(DWORD exitCode, DWORD runsFor = 0)
{
    standin::ChildScript child;
    child.exitCode = exitCode;
    child.runsFor = runsFor;
    return child;
}

/* Every handle a launch gave has been closed. */
bool AllHandlesClosed()
{
    for (const standin::ProcessHandle &process : standin::state().processes)
        if (!process.closed) return false;
    return true;
}

TEST(ShellLaunchTest, FillsTheLaunchRecord)
{
    for (int networkDrive : {0, 1}) {
        standin::Reset();
        DWORD code = 99;
        EXPECT_EQ(ShellLaunchAndWait(Owner(), "C:\\WINDOWS\\SYSTEM32\\pnputil.exe", "-a \"C:\\P\\x.inf\"",
                                     networkDrive, &code),
                  CHILD_EXITED);
        EXPECT_EQ(code, 0u);
        ASSERT_EQ(standin::state().launches.size(), 1u);
        const standin::Launch &launch = standin::state().launches[0];
        EXPECT_EQ(launch.api, "ShellExecuteExA");
        EXPECT_EQ(launch.size, sizeof(SHELLEXECUTEINFOA));
        EXPECT_EQ(launch.mask, networkDrive ? 0xC0u : 0x40u);
        EXPECT_EQ(launch.owner, Owner());
        EXPECT_EQ(launch.verb, "open");
        EXPECT_EQ(launch.file, "C:\\WINDOWS\\SYSTEM32\\pnputil.exe");
        EXPECT_EQ(launch.parameters, "-a \"C:\\P\\x.inf\"");
        EXPECT_FALSE(launch.directoryGiven);
        EXPECT_EQ(launch.show, SW_HIDE);
    }
}

TEST(RunAndWaitTest, FillsOnlyTheStartupRecordSize)
{
    standin::Reset();
    const char program[] = "C:\\WINDOWS\\SYSTEM32\\rundll32.exe";
    char command[] = "C:\\WINDOWS\\SYSTEM32\\rundll32.exe printui.dll,PrintUIEntry /il";
    EXPECT_EQ(RunAndWait(NULL, program, command), 1);
    ASSERT_EQ(standin::state().launches.size(), 1u);
    const standin::Launch &launch = standin::state().launches[0];
    EXPECT_EQ(launch.api, "CreateProcessA");
    EXPECT_EQ(launch.applicationName, program);
    EXPECT_EQ(launch.commandLine, command);
    EXPECT_FALSE(launch.securityGiven);
    EXPECT_EQ(launch.inheritHandles, FALSE);
    EXPECT_EQ(launch.creationFlags, 0u);
    EXPECT_FALSE(launch.environmentGiven);
    EXPECT_FALSE(launch.currentDirectoryGiven);
    STARTUPINFOA expected;
    memset(&expected, 0, sizeof expected);
    expected.cb = sizeof expected;
    const unsigned char *bytes = (const unsigned char *)&expected;
    EXPECT_EQ(launch.startupInfo, std::vector<unsigned char>(bytes, bytes + sizeof expected));
}

/* Both runners, one child each, with a window to keep alive and without:
 * what comes back, how long they waited, and that no handle is left open.
 * With a window the wait ends when the child does; without, it looks every
 * 100 ms, or as soon as the child ends. */
TEST(ChildWaitTest, MapsEveryEnding)
{
    standin::ChildScript unreadable = Child(0, 300);
    unreadable.exitCodeUnreadable = true;
    struct Case {
        const char *name;
        standin::ChildScript child;
        ChildOutcome shellOutcome;
        DWORD shellCode;
        int runResult;
        DWORD waitedWithWindow, waitedWithout;  /* milliseconds */
    } cases[] = {
        {"exits 0 at once", Child(0), CHILD_EXITED, 0, 1, 0, 0},
        {"exits 0 after 1 s", Child(0, 1000), CHILD_EXITED, 0, 1, 1000, 1000},
        {"exits 0 after 1.05 s", Child(0, 1050), CHILD_EXITED, 0, 1, 1050, 1100},
        {"exits 2", Child(2, 250), CHILD_EXITED, 2, 0, 250, 300},
        {"exits -1", Child(0xFFFFFFFF), CHILD_EXITED, 0xFFFFFFFF, 0, 0, 0},
        {"really exits 259", Child(STILL_ACTIVE, 400), CHILD_EXITED, STILL_ACTIVE, 0, 400, 400},
        {"exit code unreadable", unreadable, CHILD_EXIT_UNKNOWN, 0, 0, 300, 100},
        {"no launch", FailedLaunch(ERROR_FILE_NOT_FOUND), CHILD_NOT_STARTED, ERROR_FILE_NOT_FOUND, 0, 0, 0},
        {"no launch, error 0", FailedLaunch(0), CHILD_NOT_STARTED, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        for (HWND window : {Owner(), (HWND)NULL}) {
            SCOPED_TRACE(std::string(c.name) + (window ? ", window" : ", no window"));
            DWORD waited = window ? c.waitedWithWindow : c.waitedWithout;
            standin::Reset();
            standin::state().children.push_back(c.child);
            DWORD code = 12345;
            EXPECT_EQ(ShellLaunchAndWait(window, "tool.exe", "", 0, &code), c.shellOutcome);
            if (c.shellOutcome != CHILD_EXIT_UNKNOWN) {
                EXPECT_EQ(code, c.shellCode);
            }
            EXPECT_EQ(standin::state().sleptMilliseconds, waited);
            EXPECT_TRUE(AllHandlesClosed());

            standin::Reset();
            standin::state().children.push_back(c.child);
            char command[] = "tool.exe";
            EXPECT_EQ(RunAndWait(window, "C:\\tool.exe", command), c.runResult);
            EXPECT_EQ(standin::state().sleptMilliseconds, waited);
            EXPECT_TRUE(AllHandlesClosed());
        }
    }
}

TEST(ChildWaitTest, ShellLaunchWithoutAProcessHandleWaitsForNothing)
{
    standin::Reset();
    standin::ChildScript child;
    child.noProcessHandle = true;
    standin::state().children.push_back(child);
    DWORD code;
    EXPECT_EQ(ShellLaunchAndWait(Owner(), "tool.exe", "", 0, &code), CHILD_EXIT_UNKNOWN);
    EXPECT_FALSE(standin::Called("GetExitCodeProcess"));
    EXPECT_FALSE(standin::Called("CloseHandle"));
}

}  // namespace
