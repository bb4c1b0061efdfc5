/* The removal (/uninstall): which oem*.inf files are the package's published
 * copies, and every outcome with its exit code and box, in both modes. */
#include "install/published_copies.h"
#include "startup/command_line.h"
#include "support.h"

#include <algorithm>
#include <fstream>

namespace {

const char kInf[] = "[Version]\nSignature=\"$Windows NT$\"\n; the package's own\n";
const char kQuestion[] = "Remove the VQ-2200 printer driver package from this PC?";
const char kRemoved[] = "The printer driver package is removed from this PC.";
const char kNotOnPc[] = "The printer driver package is not on this PC.";

class UninstallTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        WriteFile("Setup.INI", "[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n[INFNUM]\nINFITEM=1\n"
                               "[INFNAME]\nINF0=VQ2200.inf\n[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=gone.dll\n");
        WriteFile("VQ2200.inf", kInf);
        MakeFolder("win/INF");
        sys().windowsDirectory = launchFolder + "\\win";
    }

    /* The launch's boxes as "<kind> <owner>: <text>". */
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> boxes;
        for (const standin::MessageBoxCall &box : sys().messageBoxes) {
            const char *kind = box.type == 0x24 ? "question" : box.type == 0x10040 ? "information"
                                                            : box.type == 0x10010 ? "error" : "other";
            boxes.push_back(std::string(kind) + (box.owner ? " owned: " : ": ") + box.text);
        }
        return boxes;
    }

    std::vector<std::string> Removals()
    {
        std::vector<std::string> removals;
        for (const standin::Launch &launch : sys().launches) {
            std::string program = "\"" + launch.applicationName + "\" ";
            EXPECT_EQ(launch.commandLine.compare(0, program.size(), program), 0) << launch.commandLine;
            removals.push_back(launch.commandLine.substr(program.size()));
        }
        return removals;
    }
};

TEST_F(UninstallTest, PublishedCopiesAreTheSameSizeAndBytes)
{
    std::string differs = kInf;
    differs[differs.size() - 2] = 'X';
    WriteFile("win/INF/oem7.inf", kInf);
    WriteFile("win/INF/OEM12.INF", kInf);
    WriteFile("win/INF/oem8.inf", differs);               /* same size, other bytes */
    WriteFile("win/INF/oem9.inf", std::string(kInf) + ";");  /* another size */
    WriteFile("win/INF/oem10.info", kInf);                /* matched by a short name on Windows */
    WriteFile("win/INF/oemx.inf", kInf);
    WriteFile("win/INF/vq2200.inf", kInf);
    MakeFolder("win/INF/oem11.inf");
    PublishedCopies copies;
    ASSERT_EQ(FindPublishedCopies((launchFolder + "\\VQ2200.inf").c_str(), &copies), 1);
    std::vector<std::string> names(copies.names, copies.names + copies.count);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"OEM12.INF", "oem7.inf"}));

    EXPECT_EQ(FindPublishedCopies((launchFolder + "\\missing.inf").c_str(), &copies), 0);
    Remove("win/INF");
    EXPECT_EQ(FindPublishedCopies((launchFolder + "\\VQ2200.inf").c_str(), &copies), 0);
}

/* Each outcome of the removal in quiet mode (no box) and window mode (its box,
 * without owner), with the same exit code. */
TEST_F(UninstallTest, EveryOutcomeInBothModes)
{
    struct Row {
        const char *name;
        std::vector<const char *> published;
        std::vector<standin::ChildScript> children;
        std::vector<int> answers;  /* to the question, window mode */
        int exitCode;
        std::vector<std::string> windowBoxes;  /* after the question, when asked */
        std::vector<std::string> removals;
    } rows[] = {
        {"one copy removed", {"oem3.inf"}, {Exits(0)}, {IDYES}, 0, {"information: " + std::string(kRemoved)},
         {"-d oem3.inf"}},
        {"two removed, one needs a restart", {"oem3.inf", "oem5.inf"}, {Exits(3010), Exits(0)}, {IDYES}, 3010,
         {"information: " + std::string(kRemoved) + "\nRestart the PC to finish."}, {"-d oem3.inf", "-d oem5.inf"}},
        {"the first fails, the second is still tried", {"oem3.inf", "oem5.inf"}, {Exits(5), Exits(0)}, {IDYES}, 1603,
         {"error: Failed to remove the printer driver package.\n\noem3.inf: exit code 5"},
         {"-d oem3.inf", "-d oem5.inf"}},
        {"the tool cannot start", {"oem3.inf"}, {FailedLaunch(2)}, {IDYES}, 1603,
         {"error: Failed to remove the printer driver package.\n\noem3.inf: The system cannot find the file "
          "specified."},
         {"-d oem3.inf"}},
        {"nothing published", {}, {}, {}, 0, {"information: " + std::string(kNotOnPc)}, {}},
        {"No in the question", {"oem3.inf"}, {}, {IDNO}, 1602, {}, {}},
    };
    for (const Row &row : rows) {
        for (bool quiet : {true, false}) {
            if (quiet && row.exitCode == 1602) continue;
            SCOPED_TRACE(std::string(row.name) + (quiet ? ", quiet" : ", window"));
            Restart();
            SetUp();
            for (const char *name : row.published) WriteFile(std::string("win/INF/") + name, kInf);
            sys().children.assign(row.children.begin(), row.children.end());
            sys().messageBoxAnswers.assign(row.answers.begin(), row.answers.end());
            EXPECT_EQ(RunLauncher(quiet ? "/uninstall /quiet" : "/x"), row.exitCode);
            std::vector<std::string> boxes;
            if (!quiet) {
                if (!row.published.empty()) boxes.push_back(std::string("question: ") + kQuestion);
                boxes.insert(boxes.end(), row.windowBoxes.begin(), row.windowBoxes.end());
            }
            EXPECT_EQ(Boxes(), boxes);
            EXPECT_EQ(Removals(), row.removals);
            for (const standin::Launch &launch : sys().launches) {
                EXPECT_EQ(launch.applicationName, sys().windowsDirectory + "\\SYSTEM32\\pnputil.exe");
                EXPECT_EQ(launch.show, SW_HIDE);
            }
            EXPECT_FALSE(sys().waitedInComApartment);
        }
    }
}

/* The removal starts as an installation does, then needs only INF0: the
 * file list is not looked at. */
TEST_F(UninstallTest, RefusalsBeforeAnythingIsRemoved)
{
    struct Row {
        const char *name;
        const char *setupFile;  /* NULL: as SetUp writes it */
        bool infPresent;
        int exitCode;
        std::string box;
    } rows[] = {
        {"INF0 missing from the package", NULL, false, 1620,
         "error: VQ2200.inf\nMissing printer driver files.\nExit the program."},
        {"INF0 unknown",
         "[MODEL]\nMODEL=m\n[LANGUAGEMENU]\nLANGUAGEMENU=e\n[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=unknown\n", true, 1620,
         "error: Failed to setup infomation file.\n\nExit the program."},
        {"INFITEM 0", "[MODEL]\nMODEL=m\n[LANGUAGEMENU]\nLANGUAGEMENU=e\n[INFNAME]\nINF0=VQ2200.inf\n", true, 1620,
         "error: Failed to setup infomation file.\n\nExit the program."},
        {"no LANGUAGEMENU", "[MODEL]\nMODEL=m\n[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=VQ2200.inf\n", true, 1620,
         "error: Failed to setup infomation file.\n\nExit the program."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        SetUp();
        if (row.setupFile) WriteFile("Setup.INI", row.setupFile);
        if (!row.infPresent) Remove("VQ2200.inf");
        WriteFile("win/INF/oem3.inf", kInf);
        EXPECT_EQ(RunLauncher("/uninstall"), row.exitCode);
        EXPECT_EQ(Boxes(), std::vector<std::string>{row.box});
        EXPECT_TRUE(sys().launches.empty());
    }
}

TEST(UninstallCommandLineTest, GoesWithQuietAndLogOnly)
{
    struct Row {
        const char *line;
        bool understood;
    } rows[] = {
        {"/uninstall", true}, {"-X /quiet /log=C:\\u.log /norestart", true}, {"/UNINSTALL /x", true},
        {"/uninstall /check", false}, {"/check /x", false}, {"/uninstall /?", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.line);
        LaunchOptions options;
        EXPECT_EQ(ParseCommandLine(row.line, &options), row.understood ? 1 : 0);
        if (row.understood) {
            EXPECT_EQ(options.mode, MODE_UNINSTALL);
        }
    }
}

/* The log names the driver package it removes, by its DriverVer and
 * Provider, and the other versions of it that stay published: oem*.inf
 * files Windows published from an INF of the same name and provider. */
TEST_F(UninstallTest, NamesWhatItRemovesAndWhatStays)
{
    const std::string version = "[Version]\nSignature=\"$Windows NT$\"\nProvider=%Maker%\n";
    WriteFile("VQ2200.inf", version + "DriverVer=12/08/2026,1.0.0.0\n[Strings]\nMaker=\"ZEMBRIX\"\n");
    std::ifstream in(hostFolder + "/VQ2200.inf", std::ios::binary);
    WriteFile("win/INF/oem3.inf", std::string((std::istreambuf_iterator<char>(in)), {}));
    WriteFile("win/INF/oem4.inf", version + "DriverVer=01/10/2025,0.9.0.0\n[Strings]\nMaker=ZEMBRIX\n");
    WriteFile("win/INF/oem5.inf", version + "DriverVer=01/10/2025,0.9.0.0\n[Strings]\nMaker=Other\n");
    WriteFile("win/INF/oem6.inf", version + "DriverVer=01/10/2025,0.9.0.0\n[Strings]\nMaker=ZEMBRIX\n;6\n");
    sys().originalInfNames = {{"oem3.inf", "VQ2200.inf"}, {"oem4.inf", "vq2200.INF"}, {"oem5.inf", "VQ2200.inf"},
                              {"oem6.inf", "VQ9000.inf"}};
    std::string log = standin::WindowsPathOf(tempHostFolder) + "\\u.log";
    EXPECT_EQ(RunLauncher(("/uninstall /quiet /log=" + log).c_str()), 0);
    std::vector<std::string> texts = LogTexts(tempHostFolder + "/u.log");
    for (const char *line : {"Driver package: VQ2200.inf, version 1.0.0.0 of 12/08/2026, provider ZEMBRIX",
                             "Published copy: oem3.inf",
                             "Still published: oem4.inf (version 0.9.0.0 of 01/10/2025, provider ZEMBRIX)"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), line), texts.end()) << line;
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const std::string &text) { return text.rfind("Still published:", 0) == 0; }),
              1);
}

}  // namespace
