/* What Windows tells that Wine hides: nobody at the screen, the real version,
 * SYSTEM's temp folder, protected print mode, and what the log then says of
 * the printers the wizard made and of a failed staging. */
#include "support.h"
#include "ui/frame.h"

#include <algorithm>

namespace {

const char kProtected[] =
    "Windows protected print mode is on.\nThis PC uses only the printer drivers that come with Windows.\n\n"
    "Exit the program.";
const char kReady[] =
    "Printer driver is ready for installation.\nConnect the printer to your PC and turn on the printer power.\n\n"
    "Click the OK button.";
const char kTempLog[] = BRAND_LOG_NAME "_20261209_001.log";

class SystemFactsTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        WriteFile("Setup.INI", "[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n[INFNUM]\nINFITEM=1\n"
                               "[INFNAME]\nINF0=VQ2200.inf\n[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=VQ2200.inf\n");
        WriteFile("VQ2200.inf", "inf");
    }

    bool Holds(const std::vector<std::string> &texts, const std::string &text)
    {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

bool g_tickNetworkPort;

void PressOk()
{
    if (g_tickNetworkPort) CheckDlgButton(g_pageWindow, IDC_NETWORK_PORT, BST_CHECKED);
    SendMessageA(g_pageWindow, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OK, BN_CLICKED), 0);
}

/* A window station nobody sees (a service's, SYSTEM's session 0): every
 * launch runs as /quiet would, and says so in its log. */
TEST_F(SystemFactsTest, NobodyAtTheScreenMeansQuiet)
{
    struct Row {
        const char *arguments;
        int exitCode;
        const char *lastLine;
    } rows[] = {
        {"", 0, "Exit code 0: the driver is staged"},
        {"/norestart", 0, "Exit code 0: the driver is staged"},
        {"/bogus", 1639, "Exit code 1639: bad command line"},
        {"/?", 1639, "Exit code 1639: bad command line"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.arguments);
        Restart();
        SetUp();
        sys().windowStationVisible = false;
        sys().children = {Exits(0)};
        EXPECT_EQ(RunLauncher(row.arguments), row.exitCode);
        EXPECT_TRUE(sys().messageBoxes.empty());
        EXPECT_EQ(standin::FindWindowOfClass(WINDOW_CLASS_NAME), nullptr);
        std::vector<std::string> texts = LogTexts(tempHostFolder + "/" + kTempLog);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.back(), row.lastLine);
        if (row.exitCode == 0) {
            EXPECT_TRUE(Holds(texts, "Mode: quiet (no visible window station: nobody could see or answer a window)"));
        }
    }
}

/* The header names the version Windows really is beside what the version
 * query says, the computer, the account and the elevation; SYSTEM's temp
 * folder is GetTempPath2A's where kernel32 has it. */
TEST_F(SystemFactsTest, HeaderAndTempFolderOfWindowsAsItIs)
{
    MakeFolder("systemtemp");
    sys().systemTempDirectory = launchFolder + "\\systemtemp\\";
    sys().minor = 2;
    sys().realMajor = 10, sys().realMinor = 0, sys().realBuild = 26100;
    sys().userName = "SYSTEM";
    sys().tokenElevated = -1;
    sys().children = {Exits(0)};
    EXPECT_EQ(RunLauncher("/quiet"), 0);
    std::vector<std::string> texts = LogTexts(hostFolder + "/systemtemp/" + kTempLog);
    ASSERT_GT(texts.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 4, texts.begin() + 11),
              (std::vector<std::string>{"Windows version: 6.2.7601, platform 2", "Real Windows version: 10.0.26100",
                                        "WOW64: no", "Computer: PC-0042", "Account: SYSTEM", "Elevated: unknown",
                                        "Mode: quiet"}));
    EXPECT_FALSE(standin::Called("GetTempPathA"));
}

/* Protected print mode: Windows' own answer where it has the class, else the
 * policy value; on, the launch ends before the driver check and staging. */
TEST_F(SystemFactsTest, ProtectedPrintModeStopsBeforeStaging)
{
    struct Row {
        const char *name;
        int apiAnswer, policy;  /* -1: no such class, no such value */
        bool on;
        const char *told;
    } rows[] = {
        {"Windows 7, no policy", -1, -1, false, "off (policy value WindowsProtectedPrintGroupPolicyState)"},
        {"Windows 10, policy on", -1, 1, true, "on (policy value WindowsProtectedPrintGroupPolicyState)"},
        {"policy off", -1, 0, false, "off (policy value WindowsProtectedPrintGroupPolicyState)"},
        {"Windows 11 24H2, on", 1, -1, true, "on (WindowsProtectedPrintInfo.IsProtectedPrintEnabled)"},
        {"Windows 11 24H2 says off, policy stale", 0, 1, false,
         "off (WindowsProtectedPrintInfo.IsProtectedPrintEnabled)"},
    };
    for (const Row &row : rows) {
        for (bool quiet : {true, false}) {
            SCOPED_TRACE(std::string(row.name) + (quiet ? ", quiet" : ", window"));
            Restart();
            SetUp();
            Remove("VQ2200.inf");  /* the driver check, were it made, would fail */
            sys().protectedPrintClass = row.apiAnswer;
            sys().protectedPrintPolicy = row.policy;
            sys().dialogPresses = {IDOK};
            g_tickNetworkPort = false;
            sys().whileLoopWaits = PressOk;
            std::string log = "/log=" + standin::WindowsPathOf(tempHostFolder) + "\\p.log";
            int exitCode = RunLauncher(((quiet ? "/quiet " : "") + log).c_str());
            std::vector<std::string> texts = LogTexts(tempHostFolder + "/p.log");
            EXPECT_TRUE(Holds(texts, std::string("Windows protected print mode: ") + row.told));
            EXPECT_TRUE(sys().launches.empty());
            EXPECT_EQ(sys().protectedPrintObjects, 0);
            EXPECT_EQ(sys().comInitializations, 0);
            if (quiet) {
                EXPECT_EQ(exitCode, row.on ? 1633 : 1620);
                continue;
            }
            ASSERT_EQ(sys().messageBoxes.size(), 1u);
            const standin::MessageBoxCall &box = sys().messageBoxes[0];
            if (row.on) {
                EXPECT_EQ(box.text, kProtected);
                EXPECT_EQ(box.owner, g_pageWindow);
                EXPECT_EQ(box.type, 0x10010u);
            } else {
                EXPECT_EQ(box.text, "VQ2200.inf\nMissing printer driver files.\nExit the program.");
            }
        }
    }
}

/* Where a staging failed, the log points to the system's driver setup log;
 * after the wizard it names each new printer and its driver; the system's
 * error texts go to the log without their line break. */
TEST_F(SystemFactsTest, LogTellsWhatWindowsDid)
{
    struct Row {
        const char *name;
        bool network;
        std::vector<standin::ChildScript> children;
        std::vector<std::string> lines;
    } rows[] = {
        {"staging fails", false, {Exits(5)},
         {"The reason is in the system's driver setup log: C:\\WINDOWS\\INF\\setupapi.dev.log"}},
        {"wizard adds a printer", true, {Exits(0), Exits(0, 2)},
         {"New printer: Printer 2 (driver Microsoft IPP Class Driver)"}},
        {"wizard removes a printer", true, {Exits(0), Exits(0, 0)},
         {"Printer gone: Printer 1 (driver Microsoft IPP Class Driver)"}},
        {"staging cannot start", false, {FailedLaunch(2)},
         {"Message box, error: The system cannot find the file specified."}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        SetUp();
        sys().localPrinters = 1;
        sys().printerDriver = "Microsoft IPP Class Driver";
        sys().children.assign(row.children.begin(), row.children.end());
        sys().dialogPresses = {IDOK};
        g_tickNetworkPort = row.network;
        sys().whileLoopWaits = PressOk;
        std::string log = "/log=" + standin::WindowsPathOf(tempHostFolder) + "\\w.log";
        EXPECT_EQ(RunLauncher(log.c_str()), 0);
        std::vector<std::string> texts = LogTexts(tempHostFolder + "/w.log");
        for (const std::string &line : row.lines) EXPECT_TRUE(Holds(texts, line)) << line;
    }
}

}  // namespace
