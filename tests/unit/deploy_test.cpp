/* Unattended deployment: the command line, the exit code of every outcome in
 * quiet mode (and 0 in window mode), the log's lines and the temp log's name. */
#include "startup/command_line.h"
#include "common/launch_log.h"
#include "support.h"
#include "ui/frame.h"

#include <shellapi.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

TEST(CommandLineTest, ArgumentsGiveModeLogOrTheOffendingArgument)
{
    struct Row {
        const char *line;
        int quiet;
        const char *help, *log, *bad;
        int check;
    } rows[] = {
        {"", 0, "", "", "", 0},
        {"  \t ", 0, "", "", "", 0},
        {"/quiet", 1, "", "", "", 0},
        {"-Q /NoRestart", 1, "", "", "", 0},
        {"/qn -s /SILENT /VerySilent", 1, "", "", "", 0},
        {"/passive", 1, "", "", "", 0},
        {"-QB", 1, "", "", "", 0},
        {"/VERYSILENT /SUPPRESSMSGBOXES /NORESTART", 1, "", "", "", 0},  /* as Inno Setup users type it */
        {"/sp- /suppressmsgboxes", 0, "", "", "", 0},
        {"/?", 0, "/?", "", "", 0},
        {"-H", 0, "-H", "", "", 0},
        {"/help /quiet", 1, "/help", "", "/help", 0},               /* no help box in quiet mode */
        {"/q /?", 1, "/?", "", "/?", 0},
        {"/check /?", 0, "/?", "", "", 1},                          /* the check writes it to its console */
        {"/check /CHECK", 0, "", "", "", 1},
        {"--quiet", 0, "", "", "--quiet", 0},
        {"/log=C:\\x.log", 0, "", "C:\\x.log", "", 0},
        {"/LOG \"C:\\My Logs\\setup.log\" /q", 1, "", "C:\\My Logs\\setup.log", "", 0},
        {"/log=\"C:\\My Logs\\setup.log\"", 0, "", "C:\\My Logs\\setup.log", "", 0},
        {"\"/log=C:\\a b\\\\\" /s", 1, "", "C:\\a b\\", "", 0},        /* 2n backslashes before a quote */
        {"/log=C:\\a\\\"b\"", 0, "", "C:\\a\"b", "", 0},               /* 2n+1: a literal quote */
        {"/log", 0, "", "", "/log", 0},                                 /* no path */
        {"/log /quiet", 1, "", "", "/log", 0},                          /* a switch is no path */
        {"/log=", 0, "", "", "/log=", 0},
        {"/log=a /log=b", 0, "", "a", "/log=b", 0},                    /* one log only */
        {"/quiet /y /z", 1, "", "", "/y", 0},                           /* the first is named */
        {"quiet", 0, "", "", "quiet", 0},                               /* no switch character */
        {"/quietly", 0, "", "", "/quietly", 0},
        {"/", 0, "", "", "/", 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.line);
        LaunchOptions options;
        EXPECT_EQ(ParseCommandLine(row.line, &options), row.bad[0] == '\0');
        EXPECT_EQ(options.quiet, row.quiet);
        EXPECT_STREQ(options.help, row.help);
        EXPECT_STREQ(options.logPath, row.log);
        EXPECT_STREQ(options.badArgument, row.bad);
        EXPECT_EQ(options.mode == MODE_CHECK, row.check != 0);
    }
}

TEST(CommandLineTest, DoubleByteCharacterEndingInABackslashStaysWhole)
{
    standin::Reset();
    standin::state().doubleByteCodePage = true;
    LaunchOptions options;
    /* 0x95 0x5C is one character in code page 932; the quote after it closes the path. */
    EXPECT_EQ(ParseCommandLine("/log=\"C:\\\x95\x5C\" /q", &options), 1);
    EXPECT_STREQ(options.logPath, "C:\\\x95\x5C");
    EXPECT_EQ(options.quiet, 1);
}

TEST(CommandLineTest, ArgumentTooLongIsRefusedCut)
{
    std::string line = "/log=C:\\" + std::string(300, 'a');
    LaunchOptions options;
    EXPECT_EQ(ParseCommandLine(line.c_str(), &options), 0);
    EXPECT_EQ(strlen(options.badArgument), (size_t)MAX_PATH - 1);
    EXPECT_STREQ(options.logPath, "");
}

TEST(LaunchLogTest, TimeAndTempNameLayout)
{
    SYSTEMTIME time = {2026, 1, 5, 2, 3, 4, 5, 6};
    char stamp[LOG_TIME_SIZE];
    FormatLogTime(&time, stamp);
    EXPECT_STREQ(stamp, "2026/01/02 03:04:05.006");
    char path[MAX_PATH];
    EXPECT_EQ(BuildTempLogName("C:\\Temp\\", &time, 7, path), 1);
    EXPECT_STREQ(path, "C:\\Temp\\" BRAND_LOG_NAME "_20260102_007.log");
    EXPECT_EQ(BuildTempLogName(("C:\\" + std::string(230, 't') + "\\").c_str(), &time, 1, path), 0);
}

const char kReady[] =
    "Printer driver is ready for installation.\nConnect the printer to your PC and turn on the printer power.\n\n"
    "Click the OK button.";

class DeployTest : public LauncherTest {
public:
    /* For the rows' arrangements. */
    using LauncherTest::launchFolder;
    using LauncherTest::MakeFolder;
    using LauncherTest::Remove;
    using LauncherTest::WriteFile;

protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        WritePackage();
    }

public:
    void WritePackage(const std::string &model = "VQ-2200")
    {
        WriteFile("Setup.INI", "[MODEL]\nMODEL=" + model + "\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n"
                               "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=VQ2200.inf\n"
                               "[FILENUM]\nFILEITEM=2\n[FILELIST]\nFL0=VQ2200.inf\nFL1=x64\\VQ2200.dll\n");
        WriteFile("VQ2200.inf", "[Version]\nSignature=\"$Windows NT$\"\nProvider=%Maker%\nDriverVer=12/08/2026,1.0.0.0\n"
                                "[Strings]\nMaker=\"ZEMBRIX\"\n");
        WriteFile("x64/VQ2200.dll", "dll");
    }

protected:
    /* The lines of the file at hostPath. */
    static std::vector<std::string> ReadLines(const std::string &hostPath)
    {
        std::ifstream in(hostPath, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) lines.push_back(line);
        return lines;
    }

    /* The one log a quiet launch without /log left in the temp folder. */
    std::string TempLog() { return tempHostFolder + "/" BRAND_LOG_NAME "_20261209_001.log"; }
};

std::string Lower(std::string text)
{
    for (char &c : text) c = (char)tolower((unsigned char)c);
    return text;
}

/* What a launch found, set up by each row on a package that would stage. */
struct OutcomeRow {
    const char *name;
    void (*arrange)(DeployTest *test, standin::State &s);
    DWORD quietCode;
};

TEST_F(DeployTest, EachOutcomeGivesItsExitCodeInQuietModeOnly)
{
    const OutcomeRow rows[] = {
        {"staged", [](DeployTest *, standin::State &s) { s.children = {Exits(0)}; }, 0},
        {"staged, restart needed", [](DeployTest *, standin::State &s) { s.children = {Exits(3010)}; }, 3010},
        {"staged, restart started", [](DeployTest *, standin::State &s) { s.children = {Exits(1641)}; }, 1641},
        {"staging fails", [](DeployTest *, standin::State &s) { s.children = {Exits(5)}; }, 1603},
        {"staging really exits 259", [](DeployTest *, standin::State &s) { s.children = {Exits(259)}; }, 1603},
        {"staging cannot start", [](DeployTest *, standin::State &s) { s.children = {FailedLaunch(2)}; }, 1603},
        {"staging exit code unreadable",
         [](DeployTest *, standin::State &s) {
             s.children = {Exits(0)};
             s.children[0].exitCodeUnreadable = true;
         },
         1603},
        {"staging command too long", [](DeployTest *, standin::State &s) { s.windowsDirectory += std::string(240, 'w'); },
         1603},
        {"another copy runs", [](DeployTest *, standin::State &s) { s.mutex = standin::MutexScript::HeldElsewhere; },
         1618},
        {"another copy runs as SYSTEM",
         [](DeployTest *, standin::State &s) { s.mutex = standin::MutexScript::MadeBySystem; }, 1618},
        {"launch folder too long",
         [](DeployTest *, standin::State &s) {
             s.currentDirectory += std::string(90, 'x');
             s.modulePath = s.currentDirectory + "\\Setup.exe";
         },
         1619},
        {"setup file missing", [](DeployTest *t, standin::State &) { t->Remove("Setup.INI"); }, 1619},
        {"setup file a folder",
         [](DeployTest *t, standin::State &) {
             t->Remove("Setup.INI");
             t->MakeFolder("Setup.INI");
         },
         1619},
        {"setup file unreadable",
         [](DeployTest *t, standin::State &s) { s.openErrors[Lower(t->launchFolder + "\\Setup.INI")] = 5; }, 1619},
        {"model unknown", [](DeployTest *t, standin::State &) { t->WritePackage("unknown"); }, 1620},
        {"listed file missing", [](DeployTest *t, standin::State &) { t->Remove("x64/VQ2200.dll"); }, 1620},
        {"file count 0", [](DeployTest *t, standin::State &) { t->WriteFile("Setup.INI", "[MODEL]\nMODEL=m\n"
                                                                             "[LANGUAGEMENU]\nLANGUAGEMENU=e\n"
                                                                             "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=a\n"); },
         1620},
        {"Windows 6.0", [](DeployTest *, standin::State &s) { s.minor = 0; }, 1633},
        {"9x family", [](DeployTest *, standin::State &s) { s.platform = VER_PLATFORM_WIN32_WINDOWS; }, 1633},
        {"platform 0, silent", [](DeployTest *, standin::State &s) { s.platform = VER_PLATFORM_WIN32s; }, 1633},
        {"log written to no more after the start", [](DeployTest *, standin::State &s) { s.writesFail = true; }, 0},
    };
    for (const OutcomeRow &row : rows) {
        SCOPED_TRACE(row.name);
        for (int quiet = 0; quiet <= 1; quiet++) {
            Restart();
            WritePackage();
            row.arrange(this, sys());
            sys().dialogPresses = {IDOK};
            sys().whileLoopWaits = [] { SendMessageA(g_pageWindow, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OK, 0), 0); };
            if (quiet) {
                EXPECT_EQ(RunLauncher("/quiet"), (int)row.quietCode);
                EXPECT_TRUE(sys().messageBoxes.empty());
                EXPECT_TRUE(sys().windows.empty());
                for (const standin::Launch &launch : sys().launches) {
                    EXPECT_EQ(launch.api, "CreateProcessA");  /* the shell shows boxes of its own */
                    EXPECT_EQ(launch.show, SW_HIDE);
                }
            } else {
                EXPECT_EQ(RunLauncher(), 0);
            }
            EXPECT_FALSE(sys().waitedInComApartment);
        }
    }
}

TEST_F(DeployTest, QuietLogAppendsEveryStepUnderItsTime)
{
    std::string log = launchFolder + "\\..\\" + "deploy.log";
    std::string arguments = "/q /log \"" + log + "\"";
    sys().children = {Exits(3010)};
    ASSERT_EQ(RunLauncher(arguments.c_str()), 3010);
    sys().children = {Exits(0)};
    ASSERT_EQ(RunLauncher(arguments.c_str()), 0);
    std::string hostLog = hostFolder + "/../deploy.log";
    std::vector<std::string> texts = LogTexts(hostLog);
    unlink(hostLog.c_str());
    const std::string staging = "Staging command: \"C:\\WINDOWS\\SYSTEM32\\pnputil.exe\" -a \"" + launchFolder +
                                "\\VQ2200.inf\"";
    const std::vector<std::string> run = {
        BRAND_TITLE " " BRAND_VERSION_TEXT,
        "Command line: \"" + launchFolder + "\\Setup.exe\" " + arguments,
        "Program: " + launchFolder + "\\Setup.exe",
        "Launch folder: " + launchFolder,
        "Windows version: 6.1.7601, platform 2",
        "Real Windows version: 6.1.7601",
        "WOW64: no",
        "Computer: PC-0042",
        "Account: Installer",
        "Elevated: yes",
        "Mode: quiet",
        "Setup file: " + launchFolder + "\\Setup.INI, model VQ-2200",
        "Windows protected print mode: off (policy value WindowsProtectedPrintGroupPolicyState)",
        "Driver package: VQ2200.inf, version 1.0.0.0 of 12/08/2026, provider ZEMBRIX",
        staging,
    };
    std::vector<std::string> expected = run;
    const std::string published = "Published copies of " + launchFolder + "\\VQ2200.inf: the INF folder cannot be read";
    expected.insert(expected.end(), {"pnputil.exe ended with exit code 3010 (0x00000BC2)", published,
                                     "Not shown (quiet mode), information: Printer driver is ready for installation."
                                     "\\nRestart the PC, then connect the printer to your PC and turn on the printer "
                                     "power.\\n\\nClick the OK button.",
                                     "Exit code 3010: the driver is staged; a restart is needed"});
    expected.insert(expected.end(), run.begin(), run.end());
    expected.insert(expected.end(), {"pnputil.exe ended with exit code 0 (0x00000000)", published,
                                     "Not shown (quiet mode), information: Printer driver is ready for installation."
                                     "\\nConnect the printer to your PC and turn on the printer power.\\n\\nClick "
                                     "the OK button.",
                                     "Exit code 0: the driver is staged"});
    EXPECT_EQ(texts, expected);
}

TEST_F(DeployTest, WindowModeLogsEachBoxAndItsAnswer)
{
    Remove("x64/VQ2200.dll");
    sys().dialogPresses = {IDOK};
    sys().whileLoopWaits = [] { SendMessageA(g_pageWindow, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OK, 0), 0); };
    std::string arguments = "-log=" + standin::WindowsPathOf(tempHostFolder) + "\\w.log";
    ASSERT_EQ(RunLauncher(arguments.c_str()), 0);
    std::vector<std::string> texts = LogTexts(tempHostFolder + "/w.log");
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[10], "Mode: window");
    EXPECT_EQ(std::vector<std::string>(texts.end() - 4, texts.end()),
              (std::vector<std::string>{"Missing file: [FILELIST] FL1=x64\\VQ2200.dll",
                                        "Message box, error: x64\\VQ2200.dll\\nMissing printer driver files.\\nExit "
                                        "the program.",
                                        "Answered: OK", "Exit code 0 (window mode)"}));
}

/* A /log that cannot be opened ends the run with 1622 before anything is
 * read or changed, but a new temp log keeps the trace: the path given, as
 * expanded, and the system's words; the box names them too.  %VARIABLES% are
 * expanded and a relative path is the current folder's. */
TEST_F(DeployTest, LogAsGivenOrATraceOfWhyNot)
{
    struct Row {
        const char *name;
        std::string given;     /* after /log= */
        std::string expanded;  /* as the launcher opens it */
        int exitCode;          /* quiet mode's */
        const char *why;       /* the system's words; NULL when the log opens */
    } rows[] = {  /* {L}: the launch folder */
        {"no such folder", "{L}\\no\\such\\x.log", "{L}\\no\\such\\x.log", 1622,
         "The system cannot find the path specified."},
        {"a variable, then no such folder", "%TEMP%\\nodir\\x.log", "{L}\\nodir\\x.log", 1622,
         "The system cannot find the path specified."},
        {"a folder", "{L}", "{L}", 1622, "Access is denied."},
        {"a variable", "%TEMP%\\ok.log", "{L}\\ok.log", 0, NULL},
        {"relative: the current folder's", "rel.log", "{L}\\rel.log", 0, NULL},
    };
    for (const Row &table : rows) {
        for (bool quiet : {true, false}) {
            SCOPED_TRACE(std::string(table.name) + (quiet ? ", quiet" : ", window"));
            Row row = table;
            Restart();
            for (std::string *text : {&row.given, &row.expanded})
                if (text->compare(0, 3, "{L}") == 0) text->replace(0, 3, launchFolder);
            sys().environment["TEMP"] = launchFolder;
            sys().children = {Exits(0)};
            sys().dialogPresses = {IDCANCEL};  /* the notice, where the log opened in window mode */
            std::string arguments = std::string(quiet ? "/quiet " : "") + "/log=\"" + row.given + "\"";
            EXPECT_EQ(RunLauncher(arguments.c_str()), quiet || !row.why ? row.exitCode : 1622);
            std::vector<std::string> trace = LogTexts(TempLog());
            if (!row.why) {
                EXPECT_TRUE(trace.empty());
                EXPECT_FALSE(LogTexts(hostFolder + "/" + row.expanded.substr(launchFolder.size() + 1)).empty());
                continue;
            }
            EXPECT_FALSE(standin::Called("CreateMutexA"));
            EXPECT_FALSE(standin::Called("GetPrivateProfileStringA"));
            ASSERT_GE(trace.size(), 2u);
            EXPECT_NE(std::find(trace.begin(), trace.end(), "The log file cannot be opened: " + row.given + " (" +
                                                               row.expanded + "): error " +
                                                               (row.why[0] == 'A' ? "5, " : "3, ") + row.why),
                      trace.end());
            EXPECT_EQ(trace.back(), quiet ? "Exit code 1622: the log file cannot be opened" : "Exit code 1622 (window mode)");
            ASSERT_EQ(sys().messageBoxes.size(), quiet ? 0u : 1u);
            if (!quiet) {
                EXPECT_EQ(sys().messageBoxes[0].text, std::string("The log file cannot be opened (error ") +
                                                          (row.why[0] == 'A' ? "5" : "3") + "):\n" + row.expanded +
                                                          "\n" + row.why + "\n\nExit the program.");
                EXPECT_EQ(sys().messageBoxes[0].owner, nullptr);
            }
        }
    }
}

/* Started by its full path from another folder (a scheduled task, a start-up
 * script), quiet mode, the removal and the check take the package beside the
 * program when the current folder has none; window mode keeps the current
 * folder.  The log names the folder taken, and both when neither has one. */
TEST_F(DeployTest, PackageBesideTheProgram)
{
    struct Row {
        const char *arguments;
        bool programElsewhere;  /* the program lies in a folder without a package */
        int exitCode;
        std::string launchLine;  /* {L}: the launch folder */
    } rows[] = {
        {"/quiet", false, 0, "{L} (the folder of Setup.exe; the current folder {L}\\elsewhere has no Setup.INI)"},
        {"/uninstall /quiet", false, 0, "{L} (the folder of Setup.exe; "},
        {"/check", false, 1620, "{L} (the folder of Setup.exe; "},
        {"/quiet", true, 1619, "{L}\\elsewhere (no Setup.INI; nor in the folder of Setup.exe, {L}\\program)"},
        {"", false, 0, "{L}\\elsewhere"},
    };
    for (Row row : rows) {
        SCOPED_TRACE(std::string(row.arguments) + (row.programElsewhere ? ", program elsewhere" : ""));
        Restart();
        for (size_t at; (at = row.launchLine.find("{L}")) != std::string::npos;) row.launchLine.replace(at, 3, launchFolder);
        row.launchLine = "Launch folder: " + row.launchLine;
        MakeFolder("elsewhere");
        MakeFolder("win/INF");
        sys().windowsDirectory = launchFolder + "\\win";
        sys().currentDirectory = launchFolder + "\\elsewhere";
        if (row.programElsewhere) sys().modulePath = launchFolder + "\\program\\Setup.exe";
        sys().children = {Exits(0)};
        sys().dialogPresses = {IDOK};
        std::string arguments = std::string(row.arguments) + " /log=" + standin::WindowsPathOf(tempHostFolder) + "\\b.log";
        EXPECT_EQ(RunLauncher(arguments.c_str()), row.exitCode);
        std::vector<std::string> texts = LogTexts(tempHostFolder + "/b.log");
        ASSERT_GT(texts.size(), 3u);
        EXPECT_EQ(texts[3].compare(0, row.launchLine.size(), row.launchLine), 0) << texts[3];
        if (row.arguments[0] == '\0') {
            EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Missing to setup infomation file.\n\nExit the program."});
        } else if (std::string(row.arguments) == "/quiet" && row.exitCode == 0) {
            ASSERT_EQ(sys().launches.size(), 1u);
            const standin::Launch &staging = sys().launches[0];
            EXPECT_EQ(staging.commandLine, "\"" + staging.applicationName + "\" -a \"" + launchFolder + "\\VQ2200.inf\"");
        } else if (std::string(row.arguments) == "/check") {
            EXPECT_EQ(sys().standardOutput.find("Setup.INI: missing"), std::string::npos);
        }
    }
}

/* A folder name the ANSI code page cannot hold reads with '?', which no file
 * name has: the log says so. */
TEST_F(DeployTest, FolderNameTheCodePageCannotHold)
{
    sys().currentDirectory = "C:\\Treiber f?r VQ";
    sys().modulePath = sys().currentDirectory + "\\Setup.exe";
    std::string arguments = "/quiet /log=" + standin::WindowsPathOf(tempHostFolder) + "\\q.log";
    EXPECT_EQ(RunLauncher(arguments.c_str()), 1619);
    std::vector<std::string> texts = LogTexts(tempHostFolder + "/q.log");
    ASSERT_GT(texts.size(), 3u);
    EXPECT_EQ(texts[3].rfind("Launch folder: C:\\Treiber f?r VQ (its name has characters the ANSI code page lacks)", 0),
              0u) << texts[3];
}

TEST_F(DeployTest, BadArgumentIsNamedInABoxOrTheQuietLog)
{
    EXPECT_EQ(RunLauncher("/bogus"), 1639);
    ASSERT_EQ(sys().messageBoxes.size(), 1u);
    EXPECT_EQ(sys().messageBoxes[0].text.rfind("Unknown command-line argument: /bogus\n\nSetup.exe [/quiet]", 0), 0u);
    EXPECT_EQ(sys().messageBoxes[0].type, 0x10010u);
    EXPECT_FALSE(standin::Called("CreateMutexA"));

    Restart();
    EXPECT_EQ(RunLauncher("/bogus /s"), 1639);
    EXPECT_TRUE(sys().messageBoxes.empty());
    std::vector<std::string> texts = LogTexts(TempLog());
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 2, texts.end()),
              (std::vector<std::string>{"Not shown (quiet mode), error: Unknown command-line argument: /bogus",
                                        "Exit code 1639: bad command line"}));

    Restart();
    EXPECT_EQ(RunLauncher("/?"), 0);
    ASSERT_EQ(sys().messageBoxes.size(), 1u);
    EXPECT_EQ(sys().messageBoxes[0].type, 0x10040u);
    EXPECT_NE(sys().messageBoxes[0].text.find("1620 package invalid, "), std::string::npos);
    EXPECT_EQ(sys().messageBoxes[0].text.substr(sys().messageBoxes[0].text.rfind('\n') + 1),
              BRAND_TITLE " " BRAND_VERSION_TEXT);
    EXPECT_FALSE(standin::Called("CreateMutexA"));
}

TEST_F(DeployTest, TempLogTakesTheNextFreeNameAndFollowsNoLink)
{
    std::string stem = tempHostFolder + "/" BRAND_LOG_NAME "_20261209_00";
    std::ofstream(stem + "1.log") << "an earlier run\n";
    std::string victim = hostFolder + "/victim.txt";
    std::ofstream(victim) << "kept";
    ASSERT_EQ(symlink(victim.c_str(), (stem + "2.log").c_str()), 0);
    ASSERT_EQ(symlink((hostFolder + "/absent").c_str(), (stem + "3.log").c_str()), 0);
    sys().children = {Exits(0)};
    EXPECT_EQ(RunLauncher("/silent"), 0);
    EXPECT_EQ(ReadLines(stem + "1.log"), std::vector<std::string>{"an earlier run"});
    EXPECT_EQ(ReadLines(victim), std::vector<std::string>{"kept"});
    struct stat info;
    EXPECT_NE(stat((hostFolder + "/absent").c_str(), &info), 0);
    EXPECT_EQ(LogTexts(stem + "4.log").back(), "Exit code 0: the driver is staged");
}

}  // namespace
