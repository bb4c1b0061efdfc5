/* Version query, WOW64 probe and version policy. */
#include "common/system_probes.h"
#include "startup/version_policy.h"
#include "support.h"

#include <string.h>

namespace {

TEST(VersionQueryTest, FallsBackToTheBasicRecord)
{
    struct Case {
        bool extendedFails, basicFails;
        int result;
        std::vector<std::string> calls;
    } cases[] = {
        {false, false, 1, {"GetVersionExA(156)"}},
        {true, false, 1, {"GetVersionExA(156)", "GetVersionExA(148)"}},
        {true, true, 0, {"GetVersionExA(156)", "GetVersionExA(148)"}},
    };
    for (const Case &c : cases) {
        standin::Reset();
        standin::state().extendedQueryFails = c.extendedFails;
        standin::state().basicQueryFails = c.basicFails;
        standin::state().major = 6;
        standin::state().minor = 2;
        OSVERSIONINFOEXA version;
        memset(&version, 0xCC, sizeof version);
        EXPECT_EQ(QueryVersion(&version), c.result);
        EXPECT_EQ(standin::state().calls, c.calls);
        if (c.result) {
            EXPECT_EQ(version.dwMajorVersion, 6u);
            EXPECT_EQ(version.dwMinorVersion, 2u);
            EXPECT_EQ(version.wServicePackMajor, 0u);  /* zeroed, not left over */
        }
    }
}

/* IsWow64Process2 where kernel32 has it, else IsWow64Process; neither means no. */
TEST(Wow64ProbeTest, AnswersWhatTheSystemSays)
{
    struct Case {
        const char *system;
        bool present, present2;
        BOOL wow64;
        int oldProbeAnswer;  /* what IsWow64Process says; -1: the truth */
        int answer;
    } cases[] = {
        {"32-bit Windows without the probes", false, false, FALSE, -1, 0},
        {"32-bit Windows 7", true, false, FALSE, -1, 0},
        {"x64 Windows 7", true, false, TRUE, -1, 1},
        {"x64 Windows 11", true, true, TRUE, -1, 1},
        {"ARM64 Windows 11, IsWow64Process says no", true, true, TRUE, 0, 1},
        {"the 64-bit build on Windows 11", true, true, FALSE, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.system);
        standin::Reset();
        standin::state().wow64ProbePresent = c.present;
        standin::state().wow64Probe2Present = c.present2;
        standin::state().isWow64 = c.wow64;
        standin::state().wow64ProbeAnswer = c.oldProbeAnswer;
        EXPECT_EQ(IsWow64(), c.answer);
    }
}

TEST(VersionPolicyTest, AcceptsWindows7AndLaterAsReported)
{
    const char *different = "Different operating system.\nExit the program.";
    const char *missing = "Missing Windows operating system.\nExit the program.";
    struct Case {
        DWORD platform, major, minor;
        const char *refusal;
    } cases[] = {
        {1, 4, 0, different},  {1, 4, 90, different}, {2, 3, 51, missing},  {2, 0, 0, missing},
        {2, 4, 0, different},  {2, 5, 1, different},  {2, 5, 2, different}, {2, 6, 0, different},
        {2, 6, 1, nullptr},    {2, 6, 2, nullptr},    {2, 6, 3, nullptr},   {2, 7, 0, missing},
        {2, 10, 0, missing},   {3, 0, 0, nullptr},    {4, 10, 0, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.platform << ":" << c.major << "." << c.minor);
        const char *refusal = VersionRefusal(c.platform, c.major, c.minor);
        if (c.refusal)
            EXPECT_STREQ(refusal, c.refusal);
        else
            EXPECT_EQ(refusal, nullptr);
    }
}

}  // namespace
