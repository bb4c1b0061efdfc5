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

/* A window station nobody sees (a service's), or session 0 of Windows Vista
 * and later, whose own WinSta0 is visible but where no user logs on: every
 * launch runs as /quiet would, and its log says which told it. */
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
    struct Cause {
        bool stationVisible;
        DWORD session;
        const char *mode;
    } causes[] = {
        {false, 1, "Mode: quiet (no visible window station: nobody could see or answer a window)"},
        {true, 0, "Mode: quiet (session 0: nobody could see or answer a window)"},
    };
    for (const Cause &cause : causes) {
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(row.arguments) + ", " + cause.mode);
            Restart();
            SetUp();
            sys().windowStationVisible = cause.stationVisible;
            sys().sessionId = cause.session;
            sys().children = {Exits(0)};
            EXPECT_EQ(RunLauncher(row.arguments), row.exitCode);
            EXPECT_TRUE(sys().messageBoxes.empty());
            EXPECT_EQ(standin::FindWindowOfClass(WINDOW_CLASS_NAME), nullptr);
            std::vector<std::string> texts = LogTexts(tempHostFolder + "/" + kTempLog);
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.back(), row.lastLine);
            if (row.exitCode == 0) {
                EXPECT_TRUE(Holds(texts, cause.mode));
            }
        }
    }
}

/* The header names the version Windows really is beside what the version
 * query says, the computer, the account and the elevation; SYSTEM's temp
 * folder is GetTempPath2A's where kernel32 has it. */
TEST_F(SystemFactsTest, HeaderAndTempFolderOfWindowsAsItIs)
{
    /* A Windows 10 that got GetTempPath2A by an update may lack its folder:
     * the log then goes to GetTempPathA's. */
    for (bool systemTempMissing : {false, true}) {
        SCOPED_TRACE(systemTempMissing ? "SystemTemp missing" : "SystemTemp there");
        Restart();
        SetUp();
        if (!systemTempMissing) MakeFolder("systemtemp");
        sys().systemTempDirectory = launchFolder + "\\systemtemp\\";
        sys().minor = 2;
        sys().realMajor = 10, sys().realMinor = 0, sys().realBuild = 26100;
        sys().userName = "SYSTEM";
        sys().tokenElevated = -1;
        sys().children = {Exits(0)};
        EXPECT_EQ(RunLauncher("/quiet"), 0);
        std::string folder = systemTempMissing ? tempHostFolder : hostFolder + "/systemtemp";
        std::vector<std::string> texts = LogTexts(folder + "/" + kTempLog);
        ASSERT_GT(texts.size(), 10u);
        EXPECT_EQ(std::vector<std::string>(texts.begin() + 4, texts.begin() + 11),
                  (std::vector<std::string>{"Windows version: 6.2.7601, platform 2",
                                            "Real Windows version: 10.0.26100", "WOW64: no", "Computer: PC-0042",
                                            "Account: SYSTEM", "Elevated: unknown", "Mode: quiet"}));
        EXPECT_EQ(standin::Called("GetTempPathA"), systemTempMissing);
    }
}

/* Protected print mode: Windows' own answer where it has the class
 * (Windows 11 24H2, build 26100, and later), else the policy value, read
 * without starting COM; a class that cannot be asked tells nothing, and the
 * policy value decides.  On, the launch ends before the driver check and
 * staging. */
TEST_F(SystemFactsTest, ProtectedPrintModeStopsBeforeStaging)
{
    const char *policyOff = "off (policy value WindowsProtectedPrintGroupPolicyState)";
    const char *policyOn = "on (policy value WindowsProtectedPrintGroupPolicyState)";
    struct Row {
        const char *name;
        DWORD build;
        int apiAnswer, policy;  /* -1: no such class, no such value */
        HRESULT activation;     /* not 0: the class's activation fails so */
        bool on;
        std::vector<const char *> told;
        bool comStarted;
    } rows[] = {
        {"Windows 7, no policy", 7601, -1, -1, 0, false, {policyOff}, false},
        {"Windows 10, policy on", 19045, -1, 1, 0, true, {policyOn}, false},
        {"Windows 10, policy off", 19045, -1, 0, 0, false, {policyOff}, false},
        {"Windows 11 24H2, on", 26100, 1, -1, 0, true, {"on (WindowsProtectedPrintInfo.IsProtectedPrintEnabled)"},
         true},
        {"Windows 11 24H2 says off, policy stale", 26100, 0, 1, 0, false,
         {"off (WindowsProtectedPrintInfo.IsProtectedPrintEnabled)"}, true},
        {"Windows 11 24H2, class not activated", 26100, 0, -1, (HRESULT)0x80070005, false,
         {"cannot tell (WindowsProtectedPrintInfo: HRESULT 0x80070005)", policyOff}, true},
        {"Windows 11 24H2, class not activated, policy on", 26200, 0, 1, (HRESULT)0x80040154, true,
         {"cannot tell (WindowsProtectedPrintInfo: HRESULT 0x80040154)", policyOn}, true},
    };
    for (const Row &row : rows) {
        for (bool quiet : {true, false}) {
            SCOPED_TRACE(std::string(row.name) + (quiet ? ", quiet" : ", window"));
            Restart();
            SetUp();
            Remove("VQ2200.inf");  /* the driver check, were it made, would fail */
            sys().realMajor = 10, sys().realMinor = 0, sys().realBuild = row.build;
            sys().protectedPrintClass = row.apiAnswer;
            sys().protectedPrintFailure = row.activation;
            sys().protectedPrintPolicy = row.policy;
            sys().dialogPresses = {IDOK};
            g_tickNetworkPort = false;
            sys().whileLoopWaits = PressOk;
            std::string log = "/log=" + standin::WindowsPathOf(tempHostFolder) + "\\p.log";
            int exitCode = RunLauncher(((quiet ? "/quiet " : "") + log).c_str());
            std::vector<std::string> texts = LogTexts(tempHostFolder + "/p.log");
            for (const char *told : row.told)
                EXPECT_TRUE(Holds(texts, std::string("Windows protected print mode: ") + told)) << told;
            EXPECT_EQ(standin::Called("CoInitializeEx"), row.comStarted);
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
