/* Shell launch and wait, run and wait: launch records, redirection, exit codes. */
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

/* Position of the first call starting with prefix, or -1. */
int CallIndex(const std::string &prefix)
{
    const std::vector<std::string> &calls = standin::state().calls;
    for (size_t i = 0; i < calls.size(); i++)
        if (calls[i].compare(0, prefix.size(), prefix) == 0) return (int)i;
    return -1;
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
    EXPECT_EQ(RunAndWait(program, command), 1);
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

/* Both runners, one child each: what comes back, how long they polled, and
 * that no handle is left open. */
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
        DWORD slept;  /* milliseconds; the first look comes after one interval */
    } cases[] = {
        {"exits 0 at once", Child(0), CHILD_EXITED, 0, 1, 100},
        {"exits 0 after 1 s", Child(0, 1000), CHILD_EXITED, 0, 1, 1000},
        {"exits 0 after 1.05 s", Child(0, 1050), CHILD_EXITED, 0, 1, 1100},
        {"exits 2", Child(2, 250), CHILD_EXITED, 2, 0, 300},
        {"exits -1", Child(0xFFFFFFFF), CHILD_EXITED, 0xFFFFFFFF, 0, 100},
        {"really exits 259", Child(STILL_ACTIVE, 400), CHILD_EXITED, STILL_ACTIVE, 0, 400},
        {"exit code unreadable", unreadable, CHILD_EXIT_UNKNOWN, 0, 0, 100},
        {"no launch", FailedLaunch(ERROR_FILE_NOT_FOUND), CHILD_NOT_STARTED, ERROR_FILE_NOT_FOUND, 0, 0},
        {"no launch, error 0", FailedLaunch(0), CHILD_NOT_STARTED, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        standin::Reset();
        standin::state().children.push_back(c.child);
        DWORD code = 12345;
        EXPECT_EQ(ShellLaunchAndWait(Owner(), "tool.exe", "", 0, &code), c.shellOutcome);
        if (c.shellOutcome != CHILD_EXIT_UNKNOWN) {
            EXPECT_EQ(code, c.shellCode);
        }
        EXPECT_EQ(standin::state().sleptMilliseconds, c.slept);
        EXPECT_TRUE(AllHandlesClosed());

        standin::Reset();
        standin::state().children.push_back(c.child);
        char command[] = "tool.exe";
        EXPECT_EQ(RunAndWait("C:\\tool.exe", command), c.runResult);
        EXPECT_EQ(standin::state().sleptMilliseconds, c.slept);
        EXPECT_TRUE(AllHandlesClosed());
    }
}

TEST(ChildWaitTest, PollsEveryHundredMilliseconds)
{
    standin::Reset();
    standin::state().children.push_back(Child(0, 300));
    DWORD code;
    ShellLaunchAndWait(Owner(), "tool.exe", "", 0, &code);
    std::vector<std::string> sleeps;
    for (const std::string &call : standin::state().calls)
        if (call.compare(0, 6, "Sleep(") == 0) sleeps.push_back(call);
    EXPECT_EQ(sleeps, std::vector<std::string>(3, "Sleep(100)"));
    EXPECT_LT(CallIndex("Sleep"), CallIndex("GetExitCodeProcess"));
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

/* Redirection goes off just before the launch and back on once the child has
 * ended or the launch has failed, and only for a 32-bit process on 64-bit Windows. */
TEST(ChildWaitTest, GuardsRedirectionOnlyUnderWow64)
{
    struct Case {
        bool probe;
        BOOL wow64;
        bool launchFails;
        bool guarded;
    } cases[] = {
        {false, FALSE, false, false}, {true, FALSE, false, false}, {true, FALSE, true, false},
        {true, TRUE, false, true},    {true, TRUE, true, true},
    };
    for (const Case &c : cases) {
        for (int shell : {1, 0}) {
            SCOPED_TRACE(std::to_string(c.probe) + std::to_string(c.wow64) + std::to_string(c.launchFails) +
                         std::to_string(shell));
            standin::Reset();
            standin::state().wow64ProbePresent = c.probe;
            standin::state().redirectionPresent = true;
            standin::state().isWow64 = c.wow64;
            standin::state().children.push_back(c.launchFails ? FailedLaunch(1155) : Child(0, 200));
            DWORD code = 0;
            char command[] = "tool.exe";
            if (shell) {
                ShellLaunchAndWait(Owner(), "tool.exe", "", 0, &code);
                if (c.launchFails) {
                    EXPECT_EQ(code, 1155u);
                }
            } else {
                RunAndWait("C:\\tool.exe", command);
            }
            ASSERT_EQ(standin::state().launches.size(), 1u);
            EXPECT_EQ(standin::state().launches[0].redirectionDisabled, c.guarded);
            EXPECT_EQ(standin::Called("Wow64DisableWow64FsRedirection"), c.guarded);
            EXPECT_EQ(standin::Called("Wow64RevertWow64FsRedirection(NULL)"), c.guarded);
            EXPECT_FALSE(standin::state().redirectionDisabled);
            if (c.guarded && !c.launchFails) {
                /* back on only after the last look at the child */
                int lastRead = -1;
                for (size_t i = 0; i < standin::state().calls.size(); i++)
                    if (standin::state().calls[i] == "GetExitCodeProcess") lastRead = (int)i;
                EXPECT_GT(CallIndex("Wow64RevertWow64FsRedirection"), lastRead);
            }
        }
    }
}

}  // namespace
