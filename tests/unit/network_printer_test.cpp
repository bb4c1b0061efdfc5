/* A network printer with nobody at the screen: the switches, the models an
 * INF offers a PC, and what a quiet install and a removal with /printer do
 * to the spooler, with their exit codes and log lines. */
#include "install/tcp_port_data.h"
#include "setupinfo/inf_models.h"
#include "startup/command_line.h"
#include "support.h"

#include <string.h>

#include <algorithm>
#include <fstream>
#include <functional>

namespace {

TEST(PrinterSwitchesTest, WhichGoTogetherAndWhichValuesAreTaken)
{
    const std::string name220(220, 'n'), host48 = std::string(44, 'h') + ".lan";
    const std::string queue32(32, 'q');
    struct Row {
        std::string line;
        const char *bad;    /* the argument refused, "" when none */
        const char *why;    /* its value's fault, NULL for a conflict or none */
        const char *name = "", *host = "", *model = "";
        DWORD portNumber = 0;
        const char *lpr = "", *snmp = "";
    } rows[] = {
        {"/quiet /printer=\"Floor 2 VQ\" /port=10.0.0.5", "", NULL, "Floor 2 VQ", "10.0.0.5", "", 9100, "", ""},
        {"/q -PRINTER \"Floor 2 VQ\" -Port printer-7.lan /LPR PASSTHRU", "", NULL, "Floor 2 VQ", "printer-7.lan", "", 515,
         "PASSTHRU", ""},
        {"/s /printer=P /port=h /portnumber=65535 /snmp=public /model=\"VQ 2\"", "", NULL, "P", "h", "VQ 2", 65535, "",
         "public"},
        {"/q /printer=" + name220 + " /port=" + host48 + " /lpr=" + queue32, "", NULL, name220.c_str(), host48.c_str(),
         "", 515, queue32.c_str(), ""},
        {"/uninstall /printer=P", "", NULL, "P", "", "", 9100, "", ""},
        {"/uninstall /q /printer=P", "", NULL, "P", "", "", 9100, "", ""},
        /* which go together */
        {"/q /printer=P", "/printer=P", NULL},
        {"/q /port=h", "/port=h", NULL},
        {"/q /model=M /printer=P", "/model=M", NULL},
        {"/printer=P /port=h", "/printer=P", NULL},  /* window mode */
        {"/check /printer=P /port=h", "/printer=P", NULL},
        {"/? /printer=P /port=h", "/printer=P", NULL},
        {"/uninstall /printer=P /port=h", "/printer=P", NULL},
        {"/uninstall /port=h", "/port=h", NULL},
        /* values refused */
        {"/q /printer= /port=h", "/printer=", "/printer needs a printer name"},
        {"/q /port=h /printer", "/printer", "/printer needs a printer name"},
        {"/q /printer=" + name220 + "n /port=h", "", "a printer name has at most 220 characters, and no comma or backslash"},
        {"/q /printer=a,b /port=h", "/printer=a,b", "a printer name has at most 220 characters, and no comma or backslash"},
        {"/q /printer=a\\b /port=h", "/printer=a\\b", "a printer name has at most 220 characters, and no comma or backslash"},
        {"/q /printer=P /port=" + host48 + "x", "", "the printer's address is an IPv4 address or a host name of at most 48 characters"},
        {"/q /printer=P /port=10.0.0.5:9100", "/port=10.0.0.5:9100",
         "the printer's address is an IPv4 address or a host name of at most 48 characters"},
        {"/q /printer=P /port=h /portnumber=0", "/portnumber=0", "a port number is 1 to 65535"},
        {"/q /printer=P /port=h /portnumber=65536", "/portnumber=65536", "a port number is 1 to 65535"},
        {"/q /printer=P /port=h /portnumber=x9", "/portnumber=x9", "a port number is 1 to 65535"},
        {"/q /printer=P /port=h /lpr=" + queue32 + "q", "", "at most 32 characters"},
        {"/q /printer=P /port=h /snmp=" + queue32 + "c", "", "at most 32 characters"},
        {"/q /printer=P /printer=Q /port=h", "/printer=Q", "/printer given twice"},
        {"/q /log", "/log", "/log needs a path"},
        {"/q /log=a /log b", "/log", "/log given twice"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.line);
        standin::Reset();
        LaunchOptions options;
        ParseCommandLine(row.line.c_str(), &options);
        RequireQuietForPrinter(&options);
        if (row.bad[0]) {
            EXPECT_STREQ(options.badArgument, row.bad);
        }
        EXPECT_EQ(options.badArgument[0] != '\0', row.bad[0] != '\0' || row.why != NULL);
        EXPECT_STREQ(options.badValue ? options.badValue : "", row.why ? row.why : "");
        if (options.badArgument[0]) continue;
        EXPECT_STREQ(options.printer.name, row.name);
        EXPECT_STREQ(options.printer.host, row.host);
        EXPECT_STREQ(options.printer.model, row.model);
        EXPECT_EQ(options.printer.portNumber, row.portNumber);
        EXPECT_STREQ(options.printer.lprQueue, row.lpr);
        EXPECT_STREQ(options.printer.snmpCommunity, row.snmp);
    }
}

class InfModelsTest : public LauncherTest {};

/* The models section Windows picks: the decoration for the PC's processor
 * with the highest version not above the PC's; without one, the
 * undecorated section on x86 only ("INF Manufacturer Section"). */
TEST_F(InfModelsTest, ModelsSectionWindowsWouldPick)
{
    const char kInf[] =
        "[Version]\nSignature=\"$Windows NT$\"\n"
        "[Manufacturer]\n%Maker%=Z,NTamd64,NTamd64.10.0,NTamd64.10.0...22000,NTamd64.10.0.3,NT.6.1\n"
        "Other=O\n"
        "[Z]\n\"Undecorated\"=U\n[Z.NTamd64]\n%Old%=A\n[Z.NTamd64.10.0]\n%Ten%=B ; for 10\n%Ten%=B2\n"
        "[Z.NTamd64.10.0...22000]\n\"Eleven \"\"Pro\"\"\"=C\n[Z.NTamd64.10.0.3]\nServer=S\n[Z.NT.6.1]\nSeven=D\n"
        "[O]\nOther printer=E\n"
        "[Strings]\nMaker=\"ZEMBRIX\"\nOld=\"VQ Old\"\nTen=\"VQ Ten\" ; a comment\n";
    struct Row {
        const char *name;
        InfPlatform platform;
        std::vector<std::string> models;
    } rows[] = {
        {"Windows 7 x64", {"amd64", 6, 1, 7601, 1}, {"VQ Old"}},
        {"Windows 10 x64", {"amd64", 10, 0, 19045, 1}, {"VQ Ten"}},
        {"Windows 11 x64", {"amd64", 10, 0, 22631, 1}, {"Eleven \"Pro\""}},
        {"Windows Server 2022", {"amd64", 10, 0, 20348, 3}, {"Server"}},
        {"Windows 10 ARM64", {"arm64", 10, 0, 19045, 1}, {}},
        {"Windows 7 x86: NT without a processor serves x86", {"x86", 6, 1, 7601, 1}, {"Seven", "Other printer"}},
        {"Windows Vista x86: the undecorated section", {"x86", 6, 0, 6002, 1}, {"Undecorated", "Other printer"}},
    };
    WriteFile("a.inf", kInf);
    std::string path = launchFolder + "\\a.inf";
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        InfModels models;
        EXPECT_EQ(ReadInfModels(path.c_str(), &row.platform, &models), (int)row.models.size());
        EXPECT_EQ(std::vector<std::string>(models.names, models.names + models.count), row.models);
    }
}

const char kModel[] = "ZEMBRIX VQ-2200 Series";
const char kLog[] = "p.log";

class NetworkPrinterTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        WritePackage("%Model%=VQ2200,USBPRINT\\ZembrixVQ-2200\n");
        MakeFolder("win/INF");
        sys().windowsDirectory = launchFolder + "\\win";
        sys().driverStoreInf = "C:\\WINDOWS\\System32\\DriverStore\\FileRepository\\vq2200.inf_amd64_1\\vq2200.inf";
    }

    /* The package, its INF's models for every processor given by models. */
    void WritePackage(const std::string &models)
    {
        WriteFile("Setup.INI", "[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n[INFNUM]\nINFITEM=1\n"
                               "[INFNAME]\nINF0=VQ2200.inf\n[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=VQ2200.inf\n");
        WriteFile("VQ2200.inf", "[Version]\nSignature=\"$Windows NT$\"\n[Manufacturer]\nZ=Z,NTx86,NTamd64,NTarm64\n"
                                "[Z.NTx86]\n" + models + "[Z.NTamd64]\n" + models + "[Z.NTarm64]\n" + models +
                                "[Strings]\nModel=\"" + kModel + "\"\n");
    }

    int Run(const std::string &arguments)
    {
        std::string log = " /log=" + standin::WindowsPathOf(tempHostFolder) + "\\" + kLog;
        return RunLauncher((arguments + log).c_str());
    }

    bool Logged(const std::string &start)
    {
        std::vector<std::string> texts = LogTexts(tempHostFolder + "/" + kLog);
        return std::any_of(texts.begin(), texts.end(),
                           [&](const std::string &text) { return text.compare(0, start.size(), start) == 0; });
    }

    /* "name: port, driver" of each named queue. */
    std::vector<std::string> Queues()
    {
        std::vector<std::string> queues;
        for (const standin::PrintQueue &queue : sys().printQueues)
            queues.push_back(queue.name + ": " + queue.port + ", " + queue.driver);
        return queues;
    }

    std::vector<std::string> XcvNames()
    {
        std::vector<std::string> names;
        for (const standin::XcvCall &call : sys().xcvCalls) names.push_back(call.object + " " + call.dataName);
        return names;
    }
};

std::string Narrow(const WCHAR *text)
{
    std::string narrow;
    for (; *text; text++) narrow += (char)*text;
    return narrow;
}

/* The PORT_DATA_1 of the only AddPort, as "port host/protocol/number/queue/
 * community/index v<version>" and whether cbSize is the record's size. */
std::string AddedPort(const standin::State &s)
{
    if (s.xcvCalls.size() != 1 || s.xcvCalls[0].input.size() != sizeof(PORT_DATA_1)) return "no AddPort";
    PORT_DATA_1 data;
    memcpy(&data, s.xcvCalls[0].input.data(), sizeof data);
    return Narrow(data.sztPortName) + " " + Narrow(data.sztHostAddress) + "/" + std::to_string(data.dwProtocol) + "/" +
           std::to_string(data.dwPortNumber) + "/" + Narrow(data.sztQueue) + "/" +
           (data.dwSNMPEnabled ? Narrow(data.sztSNMPCommunity) + "/" + std::to_string(data.dwSNMPDevIndex) : "off") +
           " v" + std::to_string(data.dwVersion) + (data.cbSize == sizeof data ? " whole" : " cut");
}

const char kAdd[] = "/quiet /printer=\"Floor 2 VQ\" /port=10.0.0.5";

/* What Wine's spooler cannot give: a driver installed from the driver store
 * (or failing to), the PC's platform other than the launcher's, a restart
 * code; the rest is seen under Wine. */
TEST_F(NetworkPrinterTest, EachOutcomeWithItsExitCode)
{
    const std::string port = "IP_10.0.0.5";
    struct Row {
        const char *name;
        std::string arguments;
        std::function<void(standin::State &)> arrange;
        int exitCode;
        std::vector<std::string> queues;
        const char *addedPort;          /* the AddPort's record; "no AddPort" when none was sent */
        std::vector<std::string> lines;  /* log lines, each by its start */
    } rows[] = {
        {"added", kAdd, [](standin::State &) {}, 0, {"Floor 2 VQ: IP_10.0.0.5, ZEMBRIX VQ-2200 Series"},
         "IP_10.0.0.5 10.0.0.5/1/9100//off v1 whole",
         {"Platform: Windows x64", "Model: \"ZEMBRIX VQ-2200 Series\" (the INF's only model for amd64)",
          "Driver: \"ZEMBRIX VQ-2200 Series\" installed for Windows x64 from C:\\WINDOWS\\System32\\DriverStore",
          "Port: IP_10.0.0.5 added (host 10.0.0.5, RAW, port number 9100, SNMP off)",
          "Queue: \"Floor 2 VQ\" added on IP_10.0.0.5", "Verified: ", "Exit code 0"}},
        {"staged, restart needed", kAdd, [](standin::State &s) { s.children = {Exits(3010)}; }, 3010,
         {"Floor 2 VQ: IP_10.0.0.5, ZEMBRIX VQ-2200 Series"}, "IP_10.0.0.5 10.0.0.5/1/9100//off v1 whole",
         {"Exit code 3010"}},
        {"the driver cannot be installed", kAdd,
         [](standin::State &s) { s.installFromPackageResult = (HRESULT)0x800F024B; }, 1603, {}, "no AddPort",
         {"Driver: \"ZEMBRIX VQ-2200 Series\" installed for Windows x64 from", "Driver failed: "
          "InstallPrinterDriverFromPackageA (error 2148467275, 0x800F024B)"}},
        {"staging fails: the spooler untouched", kAdd, [](standin::State &s) { s.children = {Exits(5)}; }, 1603, {},
         "no AddPort", {"Exit code 1603: staging the driver failed"}},
        {"ARM64 PC", kAdd,
         [](standin::State &s) {
             s.wow64Probe2Present = s.wow64ProbePresent = true;
             s.isWow64 = TRUE;
             s.nativeMachine = IMAGE_FILE_MACHINE_ARM64;
         },
         0, {"Floor 2 VQ: IP_10.0.0.5, ZEMBRIX VQ-2200 Series"}, "IP_10.0.0.5 10.0.0.5/1/9100//off v1 whole",
         {"Platform: Windows ARM64 (models of the INF for arm64)", "Driver: \"ZEMBRIX VQ-2200 Series\" installed for "
          "Windows ARM64"}},
        {"32-bit launcher on x64 Windows 7", kAdd,
         [](standin::State &s) {
             s.wow64ProbePresent = true;
             s.isWow64 = TRUE;
         },
         0, {"Floor 2 VQ: IP_10.0.0.5, ZEMBRIX VQ-2200 Series"}, "IP_10.0.0.5 10.0.0.5/1/9100//off v1 whole",
         {"Platform: Windows x64", "Driver: \"ZEMBRIX VQ-2200 Series\" installed for Windows x64"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        SetUp();
        row.arrange(sys());
        EXPECT_EQ(Run(row.arguments), row.exitCode);
        EXPECT_EQ(Queues().size(), row.queues.empty() ? 0u : 1u);
        if (!row.queues.empty()) {
            EXPECT_EQ(Queues(), row.queues);
        }
        EXPECT_EQ(AddedPort(sys()), row.addedPort);
        for (const std::string &line : row.lines) EXPECT_TRUE(Logged(line)) << line;
        for (const std::string &call : sys().driverPackageCalls)
            EXPECT_NE(call.find(sys().nativeMachine == IMAGE_FILE_MACHINE_ARM64 ? "Windows ARM64" : "Windows x64"),
                      std::string::npos) << call;
        EXPECT_EQ(sys().openPrinterHandles, 0);
        EXPECT_TRUE(sys().globalBlocks.empty());
    }
}

/* The model comes from the INF before anything is staged: a request that
 * cannot be done changes nothing.  (Two models with and without /model, and
 * the rows Wine's own spooler can give, are seen under Wine.) */
TEST_F(NetworkPrinterTest, ModelIsChosenBeforeAnythingIsStaged)
{
    const std::string two = "%Model%=VQ2200,HWID\n\"ZEMBRIX VQ-2300 Series\"=VQ2300,HWID2\n";
    struct Row {
        const char *name;
        std::string models;
        std::string arguments;
        int exitCode;
        const char *logged;
    } rows[] = {
        {"no model for this PC", "", kAdd, 1639, "Model: the INF offers none for amd64"},
        {"the one asked for, in any case", two, std::string(kAdd) + " /model=\"zembrix vq-2300 series\"", 0,
         "Model: \"zembrix vq-2300 series\" (given with /model)"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        SetUp();
        WritePackage(row.models);
        EXPECT_EQ(Run(row.arguments), row.exitCode);
        EXPECT_TRUE(Logged(row.logged)) << row.logged;
        EXPECT_EQ(sys().launches.size(), row.exitCode == 0 ? 1u : 0u);
        EXPECT_EQ(sys().driverPackageCalls.empty(), row.exitCode != 0);
    }
}

const char kRemoveQuestion[] = "Remove the printer Floor 2 VQ and the VQ-2200 printer driver package from this PC?";

/* The printer, then its port when no other printer uses it, then its driver
 * when none does; then the package as ever.  One that stays, or its port,
 * makes the whole a failure.  (A printer that shares its port, and one that
 * is not there, are seen under Wine.) */
TEST_F(NetworkPrinterTest, RemovalTakesThePrinterItsPortAndItsDriver)
{
    struct Row {
        const char *name;
        std::function<void(standin::State &)> arrange;
        int exitCode;
        std::vector<std::string> queuesLeft;
        std::vector<std::string> xcv;
        bool driverLeft;
        std::vector<std::string> lines;
    } rows[] = {
        {"alone on its port", [](standin::State &) {}, 0, {}, {",XcvPort IP_10.0.0.5 DeletePort"}, false,
         {"Printer: \"Floor 2 VQ\" deleted (port IP_10.0.0.5, driver \"ZEMBRIX VQ-2200 Series\")",
          "Port: IP_10.0.0.5 deleted", "Driver: \"ZEMBRIX VQ-2200 Series\" deleted for Windows x64", "Exit code 0"}},
        {"the printer cannot be deleted", [](standin::State &s) { s.deletePrinterError = ERROR_ACCESS_DENIED; }, 1603,
         {"Floor 2 VQ: IP_10.0.0.5, ZEMBRIX VQ-2200 Series"}, {}, true,
         {"Printer: \"Floor 2 VQ\" cannot be deleted: DeletePrinter (error 5)", "pnputil.exe ended with exit code 0",
          "Exit code 1603"}},
        {"a driver Windows keeps", [](standin::State &s) { s.deleteDriverError = ERROR_ACCESS_DENIED; }, 0, {},
         {",XcvPort IP_10.0.0.5 DeletePort"}, true,
         {"Driver: \"ZEMBRIX VQ-2200 Series\" kept: DeletePrinterDriverExA (error 5)", "Exit code 0"}},
        {"the package stays in use", [](standin::State &s) {
             s.printQueues.push_back({"USB VQ", "USB001", kModel});
             s.children = {Exits(5)};
         },
         1603, {"USB VQ: USB001, ZEMBRIX VQ-2200 Series"}, {",XcvPort IP_10.0.0.5 DeletePort"}, true,
         {"Still using the package: \"USB VQ\" (port USB001, driver \"ZEMBRIX VQ-2200 Series\")", "Exit code 1603"}},
    };
    for (const Row &row : rows) {
        for (bool quiet : {true, false}) {
            SCOPED_TRACE(std::string(row.name) + (quiet ? ", quiet" : ", window"));
            Restart();
            SetUp();
            WriteFile("win/INF/oem3.inf", "");
            std::ifstream in(hostFolder + "/VQ2200.inf", std::ios::binary);
            WriteFile("win/INF/oem3.inf", std::string((std::istreambuf_iterator<char>(in)), {}));
            sys().printerDrivers["Windows x64"] = {kModel};
            sys().ports.push_back({"IP_10.0.0.5", TCP_MONITOR_NAME});
            sys().printQueues = {{"Floor 2 VQ", "IP_10.0.0.5", kModel}};
            row.arrange(sys());
            EXPECT_EQ(Run(quiet ? "/quiet /uninstall /printer=\"Floor 2 VQ\"" : "/x /printer=\"Floor 2 VQ\""),
                      row.exitCode);
            EXPECT_EQ(Queues(), row.queuesLeft);
            EXPECT_EQ(XcvNames(), row.xcv);
            EXPECT_EQ(sys().printerDrivers["Windows x64"].size(), row.driverLeft ? 1u : 0u);
            for (const std::string &line : row.lines) EXPECT_TRUE(Logged(line)) << line;
            if (!quiet) {
                ASSERT_FALSE(sys().messageBoxes.empty());
                EXPECT_EQ(sys().messageBoxes[0].text, kRemoveQuestion);
            }
            EXPECT_EQ(sys().openPrinterHandles, 0);
        }
    }
}

}  // namespace
