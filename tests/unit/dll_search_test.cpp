/* The DLL search restriction: first thing at start, System32 only, and what
 * happens on systems without the loader functions. */
#include "startup/dll_search.h"
#include "support.h"

namespace {

TEST(DllSearchTest, LimitsTheSearchToSystem32WhereTheSystemCan)
{
    struct Case {
        bool defaultPresent, directoryPresent;
        int result;
        std::vector<std::string> calls;
    } cases[] = {
        {true, true, 1, {"GetProcAddress(SetDefaultDllDirectories)", "SetDefaultDllDirectories(0x800)"}},
        /* Windows 7 without the loader update: the current folder leaves the search. */
        {false, true, 0,
         {"GetProcAddress(SetDefaultDllDirectories)", "GetProcAddress(SetDllDirectoryA)",
          "SetDllDirectoryA(\"\")"}},
        {false, false, 0, {"GetProcAddress(SetDefaultDllDirectories)", "GetProcAddress(SetDllDirectoryA)"}},
    };
    for (const Case &c : cases) {
        standin::Reset();
        standin::state().defaultDllDirectoriesPresent = c.defaultPresent;
        standin::state().dllDirectoryPresent = c.directoryPresent;
        EXPECT_EQ(RestrictDllSearch(), c.result);
        EXPECT_EQ(standin::state().calls, c.calls);
    }
}

class DllSearchStartTest : public LauncherTest {};

TEST_F(DllSearchStartTest, RestrictsBeforeAnyOtherCallOnEveryPath)
{
    /* A start that reaches the message loop, and the earliest refusal (a folder that is too long). */
    for (bool tooLong : {false, true}) {
        Restart();
        WriteValidSetupFile();
        if (tooLong) sys().currentDirectory = "C:\\" + std::string(120, 'a');
        sys().dialogPresses = {IDOK};
        sys().whileLoopWaits = [] { PostQuitMessage(0); };
        RunLauncher();
        ASSERT_GE(sys().calls.size(), 3u);
        EXPECT_EQ(sys().calls[0], "GetProcAddress(SetDefaultDllDirectories)");
        EXPECT_EQ(sys().calls[1], "SetDefaultDllDirectories(0x800)");
        EXPECT_EQ(sys().calls[2], "GetUserObjectInformationA");
    }
}

}  // namespace
