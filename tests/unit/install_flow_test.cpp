/* The installation flow, driven through the page's OK button of a running
 * launcher: every outcome with its boxes in order, their kinds and owners,
 * the trace lines, the tools started and the end of the launch. */
#include "install/install_flow.h"
#include "common/launch_folder.h"
#include "support.h"
#include "ui/frame.h"

#include <shellapi.h>

#include <algorithm>

namespace {

const char kNotice[] =
    "\"Use a network port\" is selected.\nUse the Add Printer Wizard to set up the printer driver.\n"
    "Select the port in the \"Printer selection\" of the installation wizard.\n"
    "When the port is not ready, select the temporary port like \"LPT1:\".\n";
const char kAborted[] = "The printer driver installation was aborted. ";
const char kReady[] =
    "Printer driver is ready for installation.\nConnect the printer to your PC and turn on the printer power.\n\n"
    "Click the OK button.";
const char kReadyRestart[] =
    "Printer driver is ready for installation.\nRestart the PC, then connect the printer to your PC and turn on the "
    "printer power.\n\nClick the OK button.";
const char kCompleted[] =
    "Printer driver installation has been completed.\nWhen the temporary port like \"LPT1:\" is selected, change "
    "the port setting of property of Printer later.\n\nClick the OK button.";
const char kSystemError[] = "A system error occurred.\nExit the program.";
const char kFailedSetup[] = "Failed to setup infomation file.\n\nExit the program.";
const char kStagingTool[] = "C:\\WINDOWS\\SYSTEM32\\pnputil.exe";
const char kWizardProgram[] = "C:\\WINDOWS\\SYSTEM32\\rundll32.exe";
const char kWizard[] = "C:\\WINDOWS\\SYSTEM32\\rundll32.exe printui.dll,PrintUIEntry /il";

/* Boxes written as "<owner> <kind>: <text>", so one comparison shows them all. */
std::string Box(const char *owner, const char *kind, const std::string &text)
{
    return std::string(owner) + " " + kind + ": " + text;
}
std::string Notice() { return Box("page", "information", kNotice); }
std::string PageBox(const char *kind, const std::string &text) { return Box("page", kind, text); }
std::string NotStarted(int code)
{
    return PageBox("error", "The printer driver installer could not be started (error " + std::to_string(code) +
                                ").\nExit the program.");
}

standin::ChildScript Unreadable()
{
    standin::ChildScript child = Exits(0);
    child.exitCodeUnreadable = true;
    return child;
}
standin::ChildScript NoHandle()
{
    standin::ChildScript child;
    child.noProcessHandle = true;
    return child;
}

bool g_tickNetworkPort;

/* The user while the loop runs: ticks the box if asked, then presses OK. */
void PressOk()
{
    if (g_tickNetworkPort) CheckDlgButton(g_pageWindow, IDC_NETWORK_PORT, BST_CHECKED);
    standin::Log("-- OK");
    SendMessageA(g_pageWindow, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OK, BN_CLICKED), 0);
}

class InstallFlowTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        WritePackage("");
    }

    /* Setup file and driver files below folder ("" for the scratch folder itself). */
    void WritePackage(const std::string &folder, const std::string &inf = "VQ2200.inf")
    {
        std::string prefix = folder.empty() ? "" : folder + "/";
        WriteFile(prefix + "Setup.INI", "[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n"
                                        "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=" + inf + "\n"
                                        "[FILENUM]\nFILEITEM=2\n[FILELIST]\nFL0=VQ2200.cat\nFL1=x64\\VQ2200.dll\n");
        WriteFile(prefix + "VQ2200.cat", "cat");
        WriteFile(prefix + "x64/VQ2200.dll", "dll");
    }

    /* Runs the launcher to its end with OK pressed on the page; returns its exit code. */
    int Install(bool networkPort)
    {
        g_tickNetworkPort = networkPort;
        sys().dialogPresses = {IDOK};  /* the notice */
        sys().whileLoopWaits = PressOk;
        return RunLauncher();
    }

    std::vector<std::string> Boxes()
    {
        std::vector<std::string> boxes;
        for (const standin::MessageBoxCall &box : sys().messageBoxes) {
            const char *owner = box.owner == NULL ? "none" : box.owner == g_pageWindow ? "page" : "other";
            const char *kind = box.type == 0x10030   ? "warning"
                               : box.type == 0x10040 ? "information"
                               : box.type == 0x10010 ? "error"
                                                     : "other";
            EXPECT_EQ(box.caption, BRAND_TITLE);
            boxes.push_back(Box(owner, kind, box.text));
        }
        return boxes;
    }

    int CallIndex(const std::string &prefix)
    {
        for (size_t i = 0; i < sys().calls.size(); i++)
            if (sys().calls[i].compare(0, prefix.size(), prefix) == 0) return (int)i;
        return -1;
    }

    /* The launch ended at once from the flow: destroy sent to the frame, quit posted with 0. */
    void ExpectLaunchEnded(int exitCode)
    {
        EXPECT_EQ(exitCode, 0);
        int ok = CallIndex("-- OK");
        ASSERT_GE(ok, 0);
        std::vector<std::string> after(sys().calls.begin() + ok, sys().calls.end());
        EXPECT_EQ(std::count(after.begin(), after.end(), "SendMessageA(2)"), 1);
        EXPECT_EQ(std::count(after.begin(), after.end(), "PostQuitMessage(0)"), 1);
        EXPECT_EQ(std::count(after.begin(), after.end(), "SendMessageA(16)"), 0);  /* no WM_CLOSE, no prompt */
    }

    std::string StagingParameters() { return "-a \"" + launchFolder + "\\VQ2200.inf\""; }
};

TEST_F(InstallFlowTest, EveryOutcome)
{
    struct Row {
        const char *path;
        bool networkPort;
        std::vector<standin::ChildScript> children;
        int printers;                                /* local printers before */
        std::vector<standin::SpoolerAnswer> answers; /* scripted EnumPrintersA calls */
        std::vector<std::string> boxes;
        std::vector<std::string> trace;
        size_t launches;
    } rows[] = {
        {"staging cannot start", false, {FailedLaunch(2)}, 0, {},
         {PageBox("error", "The system cannot find the file specified.\r\n")}, {"ShellExecuteEx FALSE = 2"}, 1},
        {"staging cannot start, ticked", true, {FailedLaunch(1155)}, 0, {},
         {Notice(), PageBox("error", "No application is associated with the specified file for this operation.\r\n")},
         {"ShellExecuteEx FALSE = 1155"}, 1},
        {"staging cannot start, code reads 0", false, {FailedLaunch(0)}, 0, {}, {NotStarted(0)},
         {"ShellExecuteEx FALSE = 0"}, 1},
        {"staging cannot start, no text for the code", true, {FailedLaunch(0x4000)}, 0, {},
         {Notice(), NotStarted(0x4000)}, {"ShellExecuteEx FALSE = 16384"}, 1},
        {"staging exits 1", false, {Exits(1)}, 0, {}, {PageBox("warning", kAborted)}, {"ExitCode = 1"}, 1},
        {"staging crashes, ticked", true, {Exits(0xC0000005)}, 0, {}, {Notice(), PageBox("warning", kAborted)},
         {"ExitCode = -1073741819"}, 1},
        {"staging really exits 259", false, {Exits(STILL_ACTIVE)}, 0, {}, {PageBox("warning", kAborted)},
         {"ExitCode = 259"}, 1},
        {"staging exit code unreadable", false, {Unreadable()}, 0, {}, {PageBox("warning", kAborted)}, {}, 1},
        {"staging gives no process", true, {NoHandle()}, 0, {}, {Notice(), PageBox("warning", kAborted)}, {}, 1},
        {"staged", false, {Exits(0)}, 0, {}, {PageBox("information", kReady)}, {}, 1},
        {"staged, restart needed", false, {Exits(3010)}, 0, {}, {PageBox("information", kReadyRestart)},
         {"ExitCode = 3010"}, 1},
        {"staged, restart started", false, {Exits(1641)}, 0, {}, {PageBox("information", kReadyRestart)},
         {"ExitCode = 1641"}, 1},
        {"staged, restart needed, ticked: the wizard as after 0", true, {Exits(3010), Exits(0, 2)}, 1, {},
         {Notice(), PageBox("information", kCompleted)}, {"ExitCode = 3010"}, 2},
        {"staged, count fails", true, {Exits(0)}, 0, {{0, 1722}}, {Notice(), PageBox("error", kSystemError)},
         {"EnumPrinters FALSE = 1722"}, 1},
        {"staged, wizard cannot start", true, {Exits(0), FailedLaunch(2)}, 1, {},
         {Notice(), PageBox("warning", kAborted)}, {}, 2},
        {"staged, wizard exits 1", true, {Exits(0), Exits(1, 2)}, 1, {}, {Notice(), PageBox("warning", kAborted)},
         {}, 2},
        {"staged, wizard really exits 259", true, {Exits(0), Exits(STILL_ACTIVE, 2)}, 1, {},
         {Notice(), PageBox("warning", kAborted)}, {}, 2},
        {"staged, wizard exit code unreadable", true, {Exits(0), Unreadable()}, 1, {},
         {Notice(), PageBox("warning", kAborted)}, {}, 2},
        {"staged, wizard done, same count", true, {Exits(0), Exits(0, 1)}, 1, {},
         {Notice(), PageBox("warning", kAborted)}, {}, 2},
        {"staged, wizard done, no printers before or after", true, {Exits(0), Exits(0)}, 0, {},
         {Notice(), PageBox("warning", kAborted)}, {}, 2},
        {"staged, wizard adds a printer", true, {Exits(0), Exits(0, 2)}, 1, {},
         {Notice(), PageBox("information", kCompleted)}, {}, 2},
        {"staged, wizard removes a printer", true, {Exits(0), Exits(0, 0)}, 1, {},
         {Notice(), PageBox("information", kCompleted)}, {}, 2},
        {"staged, second count fails", true, {Exits(0), Exits(0, 1)}, 0, {{0, 0}, {0, 1722}},
         {Notice(), PageBox("error", kSystemError)}, {"EnumPrinters FALSE = 1722"}, 2},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.path);
        Restart();
        WritePackage("");
        sys().children.assign(row.children.begin(), row.children.end());
        sys().localPrinters = row.printers;
        sys().spoolerAnswers.assign(row.answers.begin(), row.answers.end());
        ExpectLaunchEnded(Install(row.networkPort));
        EXPECT_EQ(Boxes(), row.boxes);
        EXPECT_EQ(sys().debugLines, row.trace);
        ASSERT_EQ(sys().launches.size(), row.launches);
        const standin::Launch &staging = sys().launches[0];
        EXPECT_EQ(staging.api, "ShellExecuteExA");
        EXPECT_EQ(staging.file, kStagingTool);
        EXPECT_EQ(staging.parameters, StagingParameters());
        EXPECT_EQ(staging.owner, g_frameWindow);
        EXPECT_EQ(staging.mask, 0x40u);
        EXPECT_EQ(staging.show, SW_HIDE);
        if (row.launches == 2) {
            EXPECT_EQ(sys().launches[1].api, "CreateProcessA");
            EXPECT_EQ(sys().launches[1].applicationName, kWizardProgram);
            EXPECT_EQ(sys().launches[1].commandLine, kWizard);
        }
        EXPECT_TRUE(sys().localBlocks.empty()) << "system error text not released";
        EXPECT_TRUE(sys().globalBlocks.empty());
    }
}

TEST_F(InstallFlowTest, SystemErrorTextIsAskedInTheSystemLanguageAndReleased)
{
    sys().children = {FailedLaunch(5)};
    ExpectLaunchEnded(Install(false));
    EXPECT_EQ(Boxes(), std::vector<std::string>{PageBox("error", "Access is denied.\r\n")});
    EXPECT_TRUE(standin::Called("FormatMessageA(4352,5,2048)"));
    EXPECT_GT(CallIndex("LocalFree"), CallIndex("MessageBoxA"));
}

TEST_F(InstallFlowTest, IncompletePackageEndsWithTheCheckBoxWithoutOwner)
{
    for (bool networkPort : {false, true}) {
        Restart();
        WriteFile("Setup.INI", "[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n"
                               "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=VQ2200.inf\n[FILENUM]\nFILEITEM=0\n");
        ExpectLaunchEnded(Install(networkPort));
        EXPECT_EQ(Boxes(), std::vector<std::string>{Box("none", "error", kFailedSetup)});
        EXPECT_TRUE(sys().launches.empty());

        Restart();
        WritePackage("");
        WriteFile("Setup.INI", "[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n"
                               "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=VQ2200.inf\n"
                               "[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=x86\\VQ2200.dll\n");
        ExpectLaunchEnded(Install(networkPort));
        EXPECT_EQ(Boxes(), std::vector<std::string>{Box(
                               "none", "error", "x86\\VQ2200.dll\nMissing printer driver files.\nExit the program.")});
        EXPECT_TRUE(sys().launches.empty());
    }
}

/* The backslash before the INF name is always inserted; a UNC folder asks the
 * shell to connect its network drive. */
TEST_F(InstallFlowTest, StagingCommandForEveryKindOfLaunchFolder)
{
    struct Case {
        const char *folder;      /* the launch folder, as a Windows path */
        const char *hostFolder;  /* where it lies below the scratch folder */
        const char *inf;
        const char *parameters;
        ULONG mask;
    } cases[] = {
        {"D:\\", "", "VQ2200.inf", "-a \"D:\\\\VQ2200.inf\"", 0x40},
        {"D:\\Drivers\\VQ", "Drivers/VQ", "x64\\VQ2200.inf", "-a \"D:\\Drivers\\VQ\\x64\\VQ2200.inf\"", 0x40},
        {"\\\\srv\\share", "srv/share", "VQ2200.inf", "-a \"\\\\srv\\share\\VQ2200.inf\"", 0xC0},
        {"\\\\srv\\share\\VQ", "srv/share/VQ", "VQ2200.inf", "-a \"\\\\srv\\share\\VQ\\VQ2200.inf\"", 0xC0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        Restart();
        sys().drives['D'] = hostFolder;
        sys().uncRoot = hostFolder;
        sys().currentDirectory = c.folder;
        WritePackage(c.hostFolder, c.inf);
        ExpectLaunchEnded(Install(false));
        EXPECT_EQ(Boxes(), std::vector<std::string>{PageBox("information", kReady)});
        ASSERT_EQ(sys().launches.size(), 1u);
        EXPECT_EQ(sys().launches[0].parameters, c.parameters);
        EXPECT_EQ(sys().launches[0].mask, c.mask);
    }
}

/* Commands that would not fit their 260 bytes, or no Windows folder: nothing is run. */
TEST_F(InstallFlowTest, CommandsAtTheirLimits)
{
    /* The wizard's command: the Windows folder, then this tail. */
    const std::string wizardTail = "\\SYSTEM32\\rundll32.exe printui.dll,PrintUIEntry /il";
    const std::string stagingTail = "\\SYSTEM32\\pnputil.exe";
    auto windowsFolder = [](size_t length) { return "C:\\" + std::string(length - 3, 'W'); };
    std::string systemError = PageBox("error", kSystemError);
    struct Case {
        const char *name;
        std::string windowsDirectory;
        bool unreadable;
        bool networkPort;
        std::vector<std::string> boxes;
        size_t launches;
    } cases[] = {
        {"Windows folder unreadable", "C:\\WINDOWS", true, false, {systemError}, 0},
        {"Windows folder longer than any buffer", windowsFolder(260), false, false, {systemError}, 0},
        {"staging tool path of 259 bytes", windowsFolder(259 - stagingTail.size()), false, false,
         {PageBox("information", kReady)}, 1},
        {"staging tool path of 260 bytes", windowsFolder(260 - stagingTail.size()), false, true,
         {Notice(), systemError}, 0},
        {"wizard command of 259 bytes", windowsFolder(259 - wizardTail.size()), false, true,
         {Notice(), PageBox("warning", kAborted)}, 2},
        {"wizard command of 260 bytes", windowsFolder(260 - wizardTail.size()), false, true,
         {Notice(), systemError}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        WritePackage("");
        sys().windowsDirectory = c.windowsDirectory;
        sys().windowsDirectoryFails = c.unreadable;
        ExpectLaunchEnded(Install(c.networkPort));
        EXPECT_EQ(Boxes(), c.boxes);
        ASSERT_EQ(sys().launches.size(), c.launches);
        if (c.launches > 0) {
            EXPECT_EQ(sys().launches[0].file, c.windowsDirectory + stagingTail);
        }
        if (c.launches > 1) {
            EXPECT_EQ(sys().launches[1].commandLine, c.windowsDirectory + wizardTail);
        }
    }

    /* The parameter text: an INF name that brings it to 259 bytes, then one byte more. */
    size_t room = 259 - std::string("-a \"\\\"").size() - launchFolder.size();
    for (size_t length : {room, room + 1}) {
        SCOPED_TRACE(length);
        Restart();
        std::string inf(length, 'i');
        WritePackage("", inf);
        ExpectLaunchEnded(Install(false));
        if (length == room) {
            ASSERT_EQ(sys().launches.size(), 1u);
            EXPECT_EQ(sys().launches[0].parameters, "-a \"" + launchFolder + "\\" + inf + "\"");
        } else {
            EXPECT_EQ(Boxes(), std::vector<std::string>{systemError});
            EXPECT_TRUE(sys().launches.empty());
        }
    }
}

/* On 64-bit Windows the tools are the 64-bit System32 ones, reached through
 * Sysnative with redirection left on, so no DLL load can fail (the shell's
 * own included); COM is apartment-threaded for the shell launch and released. */
TEST_F(InstallFlowTest, SystemToolsOf64BitWindows)
{
    struct Case {
        const char *system;
        BOOL wow64;
        bool probe2;         /* kernel32 exports IsWow64Process2 */
        int oldProbeAnswer;  /* what IsWow64Process says; -1: the truth */
        const char *folder;  /* how the launcher names the system folder */
    } cases[] = {
        {"32-bit Windows", FALSE, false, -1, "SYSTEM32"},
        {"x64 Windows 7", TRUE, false, -1, "Sysnative"},
        {"x64 Windows 11", TRUE, true, -1, "Sysnative"},
        {"ARM64 Windows 11, IsWow64Process says no", TRUE, true, 0, "Sysnative"},
        {"the 64-bit build", FALSE, true, -1, "SYSTEM32"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.system);
        Restart();
        WritePackage("");
        sys().wow64ProbePresent = true;
        sys().wow64Probe2Present = c.probe2;
        sys().redirectionPresent = true;
        sys().isWow64 = c.wow64;
        sys().wow64ProbeAnswer = c.oldProbeAnswer;
        sys().children = {Exits(0), Exits(0, 1)};
        ExpectLaunchEnded(Install(true));
        EXPECT_EQ(Boxes(), (std::vector<std::string>{Notice(), PageBox("information", kCompleted)}));
        ASSERT_EQ(sys().launches.size(), 2u);
        const standin::Launch &staging = sys().launches[0], &wizard = sys().launches[1];
        EXPECT_EQ(staging.file, std::string("C:\\WINDOWS\\") + c.folder + "\\pnputil.exe");
        EXPECT_EQ(staging.program, "C:\\WINDOWS\\System32\\pnputil.exe");
        EXPECT_EQ(staging.parameters, StagingParameters());
        EXPECT_TRUE(staging.comApartment);
        EXPECT_EQ(wizard.applicationName, std::string("C:\\WINDOWS\\") + c.folder + "\\rundll32.exe");
        EXPECT_EQ(wizard.program, "C:\\WINDOWS\\System32\\rundll32.exe");
        EXPECT_EQ(wizard.commandLine, kWizard);  /* the path as the 64-bit wizard sees its own */
        EXPECT_EQ(sys().loadsWithRedirectionOff, std::vector<std::string>{});
        EXPECT_EQ(sys().comInitializations, 0);
    }
}

/* What the screen does while a tool runs: another program's message, the
 * user pressing OK or CANCEL again (a posted BM_CLICK) or closing the frame,
 * and a quit message (the session ending). */
struct ToolTime {
    bool frameEnabled;
    std::vector<bool> controlsEnabled;  /* OK, CANCEL, "Use a network port" */
};
std::vector<ToolTime> g_whileToolRuns;
size_t g_lastLaunchSeen;

void ActWhileToolRuns()
{
    standin::state().whileChildRuns = ActWhileToolRuns;
    if (standin::state().launches.size() == g_lastLaunchSeen) return;
    g_lastLaunchSeen = standin::state().launches.size();
    ToolTime seen = {IsWindowEnabled(g_frameWindow) != FALSE, {}};
    for (int id : {IDC_PAGE_OK, IDCANCEL, IDC_NETWORK_PORT})
        seen.controlsEnabled.push_back(IsWindowEnabled(GetDlgItem(g_pageWindow, id)) != FALSE);
    g_whileToolRuns.push_back(seen);
    PostMessageA(g_frameWindow, WM_NULL, 0, 0);
    PostMessageA(GetDlgItem(g_pageWindow, IDC_PAGE_OK), BM_CLICK, 0, 0);
    PostMessageA(GetDlgItem(g_pageWindow, IDCANCEL), BM_CLICK, 0, 0);
    PostMessageA(g_frameWindow, WM_CLOSE, 0, 0);
    PostQuitMessage(7);
}

/* While each tool runs the frame stays enabled (Windows activates it again
 * when the tool's window closes) and the page's controls are disabled; its
 * messages are handled, and nothing the screen does starts a second
 * installation or the quit prompt.  A quit
 * message is posted again only after the outcome box, which it would close;
 * no COM apartment is held while waiting. */
TEST_F(InstallFlowTest, WindowsStayAliveWhileAToolRuns)
{
    struct Case {
        bool networkPort;
        std::vector<std::string> boxes;
        size_t launches;
    } cases[] = {
        {false, {PageBox("information", kReady)}, 1},
        {true, {Notice(), PageBox("information", kCompleted)}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.networkPort);
        Restart();
        WritePackage("");
        sys().children = {Exits(0), Exits(0, 1)};
        g_whileToolRuns.clear();
        g_lastLaunchSeen = 0;
        sys().whileChildRuns = ActWhileToolRuns;
        ExpectLaunchEnded(Install(c.networkPort));
        EXPECT_EQ(Boxes(), c.boxes);
        EXPECT_EQ(sys().launches.size(), c.launches);
        ASSERT_EQ(g_whileToolRuns.size(), c.launches);
        for (const ToolTime &seen : g_whileToolRuns) {
            EXPECT_TRUE(seen.frameEnabled);
            EXPECT_EQ(seen.controlsEnabled, std::vector<bool>(3, false));
        }
        EXPECT_TRUE(sys().postedMessages.empty()) << "messages left undispatched";
        for (const standin::MessageBoxCall &box : sys().messageBoxes) {
            EXPECT_TRUE(box.ownerEnabled) << box.text;
            EXPECT_FALSE(box.brokenByQuit) << box.text;
        }
        EXPECT_TRUE(standin::Called("PostQuitMessage(7)"));
        EXPECT_FALSE(sys().waitedInComApartment);
    }
}

/* OK pressed with a message waiting, which the network notice's box looks
 * at and leaves in the queue: the wait for the staging tool must still wake
 * for it, not only for input that comes later. */
void PressOkWithAMessageWaiting()
{
    PostMessageA(g_frameWindow, WM_TIMER, 99, 0);
    PressOk();
}

TEST_F(InstallFlowTest, MessageAlreadyLookedAtIsHandledWhileTheToolRuns)
{
    sys().children = {Exits(0), Exits(0, 1)};
    g_tickNetworkPort = true;
    sys().dialogPresses = {IDOK};
    sys().whileLoopWaits = PressOkWithAMessageWaiting;
    ExpectLaunchEnded(RunLauncher());
    EXPECT_EQ(sys().dispatchedWhileChildRuns, std::vector<UINT>{WM_TIMER});
}

}  // namespace
