/* The package check: each package's report, every line of it, and its exit code. */
#include "support.h"

#include <sstream>

namespace {

const char kSound[] =
    "[MODEL]\r\nMODEL=VQ-2200\r\n[LANGUAGEMENU]\r\nLANGUAGEMENU=English\r\n[INFNUM]\r\nINFITEM=1\r\n"
    "[INFNAME]\r\nINF0=VQ2200.inf\r\n[FILENUM]\r\nFILEITEM=2\r\n[FILELIST]\r\nFL0=VQ2200.inf\r\nFL1=vq2200.cat\r\n";
const char kInf[] = "[Version]\r\nSignature=\"$Windows NT$\"\r\nCatalogFile=vq2200.cat\r\n"
                    "[Manufacturer]\r\n%Maker%=Models,NTx86,NTamd64,NTarm64\r\n";

struct File {
    std::string name;
    std::string content;
};

struct Row {
    const char *name;
    std::vector<File> files;          /* the package; a name ending in '/' is a folder */
    std::vector<std::string> report;  /* every line between the first and the totals */
    const char *totals;
};

class PackageCheckTest : public LauncherTest {
protected:
    /* The report's lines; the models lines only when asked for. */
    std::vector<std::string> Report(bool models = false)
    {
        std::vector<std::string> lines;
        std::istringstream in(sys().standardOutput);
        std::string line;
        while (std::getline(in, line)) {
            EXPECT_EQ(line.back(), '\r') << line;
            if (models || line.find(": models for NT") == std::string::npos)
                lines.push_back(line.substr(0, line.size() - 1));
        }
        return lines;
    }
};

std::vector<File> Sound(std::vector<File> changes = {})
{
    std::vector<File> files = {{"Setup.INI", kSound}, {"VQ2200.inf", kInf}, {"vq2200.cat", "cat"}};
    files.insert(files.end(), changes.begin(), changes.end());
    return files;
}

/* The INF's files for x64 below Driver, for ARM64 below Arm (its own disk);
 * VQ.GPD is in Driver only, amd64only.dll nowhere. */
const char kSourcesInf[] =
    "[Version]\r\nSignature=\"$Windows NT$\"\r\nCatalogFile=vq2200.cat\r\n"
    "[Manufacturer]\r\n%M%=Z,NTamd64.10.0,NTarm64\r\n[Z.NTamd64.10.0]\r\nA=B,C\r\n[Z.NTarm64]\r\nA=B,C\r\n"
    "[SourceDisksNames]\r\n1=%Disk%,,,\\Driver\r\n[SourceDisksNames.arm64]\r\n1=%Disk%,,,Arm\r\n"
    "[SourceDisksFiles]\r\nVQ.GPD=1\r\n"
    "[SourceDisksFiles.amd64]\r\nVQUI.DLL=1,x64\r\namd64only.dll=1\r\n"
    "[SourceDisksFiles.arm64]\r\nVQUI.DLL=1,arm64 ; the ARM module\r\n";

const std::string kLongEntry(158, 'e');  /* 100 bytes of folder, a backslash and this fill 259 */

/* The sound setup file with a third listed file. */
std::string ThreeFiles(const std::string &third)
{
    std::string text = kSound;
    text.replace(text.find("FILEITEM=2"), 10, "FILEITEM=3");
    return text + "FL2=" + third + "\r\n";
}

TEST_F(PackageCheckTest, ReportsEveryProblemOfAPackage)
{
    const Row rows[] = {
        {"sound", Sound(), {"Longest launch folder: 100 bytes"}, "0 errors, 0 warnings"},
        {"no setup file", {{"VQ2200.inf", kInf}}, {"error: Setup.INI: missing"}, "1 error, 0 warnings"},
        {"setup file a folder", {{"Setup.INI/", ""}}, {"error: Setup.INI: a folder, not a file"}, "1 error, 0 warnings"},
        {"everything wrong at once",
         {{"Setup.INI", "\xEF\xBB\xBF[MODEL]\r\nMODEL=unknown\r\n[INFNUM]\r\nINFITEM=7\r\n[INFNAME]\r\n"
                        "INF0=Setup.INI\r\nINF1=\"a\"b.inf\r\nINF9=x.inf\r\n[FILENUM]\r\nFILEITEM=three\r\n"}},
         {"error: Setup.INI: UTF-8 byte order mark; Windows cannot read the first section",
          "error: [MODEL] MODEL: missing, empty or \"unknown\"",
          "error: [LANGUAGEMENU] LANGUAGEMENU: missing, empty or \"unknown\"",
          "error: [FILENUM] FILEITEM: 0, missing or not a number",
          "warning: [INFNUM] INFITEM=7: over 5, only INF0 is installed",
          "warning: [INFNAME] INF9: beyond INFITEM=7, never read",
          "warning: [INFNAME] INF0=Setup.INI: not in the file list",
          "error: [INFNAME] INF0=Setup.INI: not an INF (no [Version] Signature)",
          "error: [INFNAME] INF1=\"a\"b.inf: holds a double quote",
          "error: [INFNAME] INF2: missing, empty or \"unknown\"", "error: [INFNAME] INF3: missing, empty or \"unknown\"",
          "error: [INFNAME] INF4: missing, empty or \"unknown\"", "error: [INFNAME] INF5: missing, empty or \"unknown\"",
          "error: [INFNAME] INF6: missing, empty or \"unknown\"", "Longest launch folder: 100 bytes"},
         "11 errors, 3 warnings"},
        {"files and catalogs",
         Sound({{"Setup.INI", std::string(kSound) + "FL2=Driver\\x64\\VQ.DLL\r\nFL3=VQ2200.INF\r\nFL4=gone.txt\r\n"},
                {"VQ2200.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nCatalogFile.NTamd64=vq64.cat\r\n"},
                {"Driver/x64/VQ.DLL", "dll"}}),
         {"warning: [FILELIST] FL2: beyond FILEITEM=2, never read", "warning: [FILELIST] FL3: beyond FILEITEM=2, never read",
          "warning: [FILELIST] FL4: beyond FILEITEM=2, never read",
          "error: [INFNAME] INF0=VQ2200.inf: CatalogFile.NTamd64 vq64.cat missing",
          "warning: [INFNAME] INF0=VQ2200.inf: [Manufacturer] names no NTamd64 models: nothing to install on 64-bit "
          "Windows",
          "warning: [INFNAME] INF0=VQ2200.inf: [Manufacturer] names no NTarm64 models: nothing to install on ARM PCs",
          "Longest launch folder: 100 bytes"},
         "1 error, 5 warnings"},
        {"models for x64 only", Sound({{"VQ2200.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                                                      "CatalogFile=vq2200.cat\r\n"
                                                      "[Manufacturer]\r\n%M%=Models,NTx86, ntAMD64.10.0\r\n"}}),
         {"warning: [INFNAME] INF0=VQ2200.inf: [Manufacturer] names no NTarm64 models: nothing to install on ARM PCs",
          "Longest launch folder: 100 bytes"},
         "0 errors, 1 warning"},
        {"models per version for both", Sound({{"VQ2200.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                                                              "CatalogFile=vq2200.cat\r\n"
                                                              "[Manufacturer]\r\nA=M,NTamd64.10.0\r\nB=M,NTarm64\r\n"}}),
         {"Longest launch folder: 100 bytes"}, "0 errors, 0 warnings"},
        {"a decoration that only starts alike", Sound({{"VQ2200.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                                                                      "CatalogFile=vq2200.cat\r\n"
                                                                      "[Manufacturer]\r\nA=NTamd64,NTarm64x\r\n"}}),
         {"warning: [INFNAME] INF0=VQ2200.inf: [Manufacturer] names no NTamd64 models: nothing to install on 64-bit "
          "Windows",
          "warning: [INFNAME] INF0=VQ2200.inf: [Manufacturer] names no NTarm64 models: nothing to install on ARM PCs",
          "Longest launch folder: 100 bytes"},
         "0 errors, 2 warnings"},
        {"no catalog at all", Sound({{"VQ2200.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\n"
                                                    "[Manufacturer]\r\nA=M,NTamd64,NTarm64\r\n"}}),
         {"error: [INFNAME] INF0=VQ2200.inf: names no catalog: it cannot be signed, and 64-bit Windows stages no "
          "unsigned package",
          "Longest launch folder: 100 bytes"},
         "1 error, 0 warnings"},
        /* Source files as a real package lays them out: a disk in a subfolder, a
         * platform's own disk and subfolder, a file of the generic section
         * named again for a platform. */
        {"source files of each platform", Sound({{"VQ2200.inf", kSourcesInf},
                                                 {"Driver/VQ.GPD", ""},
                                                 {"Driver/x64/VQUI.DLL", ""},
                                                 {"Arm/arm64/VQUI.DLL", ""}}),
         {"error: [INFNAME] INF0=VQ2200.inf: NTamd64: Driver\\amd64only.dll missing",
          "error: [INFNAME] INF0=VQ2200.inf: NTarm64: Arm\\VQ.GPD missing",
          "Longest launch folder: 100 bytes"},
         "2 errors, 0 warnings"},
        {"doubles, a missing file and the INF to install missing",
         {{"Setup.INI", "[MODEL]\nMODEL=m\n[LANGUAGEMENU]\nLANGUAGEMENU=e\n[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=sub\\a.inf\n"
                        "[FILENUM]\nFILEITEM=3\n[FILELIST]\nFL0=sub\\A.INF\nFL1=b.txt\nFL2=sub\\a.inf\n"},
          {"b.txt", ""}},
         {"error: [FILELIST] FL0=sub\\A.INF: missing", "warning: [FILELIST] FL2=sub\\a.inf: listed twice (FL0)",
          "error: [FILELIST] FL2=sub\\a.inf: missing", "error: [INFNAME] INF0=sub\\a.inf: missing",
          "Longest launch folder: 100 bytes"},
         "3 errors, 1 warning"},
        {"budget at its edge", Sound({{"Setup.INI", ThreeFiles(kLongEntry)}, {kLongEntry, ""}}),
         {"Longest launch folder: 100 bytes"}, "0 errors, 0 warnings"},
        {"budget under 100", Sound({{"Setup.INI", ThreeFiles(kLongEntry + "x")}, {kLongEntry + "x", ""}}),
         {"warning: [FILELIST] FL2: launch folder budget 99 bytes, under 100", "Longest launch folder: 99 bytes"},
         "0 errors, 1 warning"},
        {"NUL bytes", Sound({{"Setup.INI", kSound + std::string("\0", 1)}}),
         {"error: Setup.INI: holds NUL bytes (UTF-16 without a byte order mark?)", "Longest launch folder: 100 bytes"},
         "1 error, 0 warnings"},
        {"big-endian", Sound({{"Setup.INI", "\xFE\xFF" + std::string(kSound)}}),
         {"error: Setup.INI: UTF-16 big-endian, which Windows cannot read",
          "error: [MODEL] MODEL: missing, empty or \"unknown\"", "Longest launch folder: 100 bytes"},
         "2 errors, 0 warnings"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        for (const File &file : row.files) {
            if (file.name.back() == '/') MakeFolder(file.name.substr(0, file.name.size() - 1));
            else WriteFile(file.name, file.content);
        }
        sys().standardOutputType = FILE_TYPE_PIPE;
        sys().mutex = standin::MutexScript::HeldElsewhere;  /* a copy of the launcher is open */
        EXPECT_EQ(RunLauncher("/check"), row.totals[0] == '0' ? 0 : 1620);
        std::vector<std::string> expected = {"Package check: Setup.INI"};
        expected.insert(expected.end(), row.report.begin(), row.report.end());
        expected.push_back(row.totals);
        EXPECT_EQ(Report(), expected);
        EXPECT_TRUE(sys().messageBoxes.empty());
        EXPECT_TRUE(sys().launches.empty());
        EXPECT_FALSE(standin::Called("CreateMutexA"));
    }
}

TEST_F(PackageCheckTest, WorksFromAFolderOfAnyLengthAndReportsToTheParentsConsole)
{
    std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e');
    MakeFolder(deep);
    for (const File &file : Sound()) WriteFile(deep + "/" + file.name, file.content);
    sys().currentDirectory = launchFolder + "\\" + std::string(120, 'd') + "\\" + std::string(120, 'e');
    sys().parentConsole = true;
    EXPECT_EQ(RunLauncher("-CHECK"), 0);
    EXPECT_EQ(sys().consoleOutput, "Package check: Setup.INI\r\n"
                                   "warning: this folder: " + std::to_string(sys().currentDirectory.size()) +
                                   " bytes, over 100: the launcher refuses to install from it\r\n"
                                   "[INFNAME] INF0=VQ2200.inf: models for NTamd64: none\r\n"
                                   "[INFNAME] INF0=VQ2200.inf: models for NTarm64: none\r\n"
                                   "[INFNAME] INF0=VQ2200.inf: models for NTx86: none\r\n"
                                   "Longest launch folder: 100 bytes\r\n0 errors, 1 warning\r\n");
}

/* The names /model takes on each platform, as Windows 10 and 11 pick them. */
TEST_F(PackageCheckTest, ListsTheModelsOfEachPlatform)
{
    WriteFile("Setup.INI", kSound);
    WriteFile("vq2200.cat", "cat");
    WriteFile("VQ2200.inf", "[Version]\r\nSignature=\"$Windows NT$\"\r\nCatalogFile=vq2200.cat\r\n"
                            "[Manufacturer]\r\n%Maker%=Z,NTx86,NTamd64,NTamd64.6.1,NTarm64.10.0...99999\r\n"
                            "[Z.NTx86]\r\n%A%=A32,HWID\r\n[Z.NTamd64]\r\n%A%=A,HWID\r\n"
                            "[Z.NTamd64.6.1]\r\n%A%=A,HWID\r\n\"ZEMBRIX VQ-2300\"=B,HWID2 ; a note\r\n"
                            "[Z.NTarm64.10.0...99999]\r\n%A%=A,HWID\r\n"
                            "[Strings]\r\nA=\"ZEMBRIX VQ-2200\"\r\n");
    sys().standardOutputType = FILE_TYPE_PIPE;
    EXPECT_EQ(RunLauncher("/check"), 0);
    std::vector<std::string> report = Report(true);
    EXPECT_EQ(std::vector<std::string>(report.begin() + 1, report.begin() + 4),
              (std::vector<std::string>{
                  "[INFNAME] INF0=VQ2200.inf: models for NTamd64: \"ZEMBRIX VQ-2200\", \"ZEMBRIX VQ-2300\"",
                  "[INFNAME] INF0=VQ2200.inf: models for NTarm64: \"ZEMBRIX VQ-2200\"",
                  "[INFNAME] INF0=VQ2200.inf: models for NTx86: \"ZEMBRIX VQ-2200\""}));
}

TEST_F(PackageCheckTest, CommandLineFaultsReachTheConsoleAndNoTempLogIsMade)
{
    const struct {
        const char *arguments;
        int exitCode;
        const char *console;
    } rows[] = {
        {"/check /bogus", 1639, "Unknown command-line argument: /bogus\r\n"},
        {"/check /log=C:\\no\\such\\folder\\x.log", 1622, "The log file cannot be opened (error 3):\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.arguments);
        Restart();
        sys().standardOutputType = FILE_TYPE_DISK;
        EXPECT_EQ(RunLauncher(row.arguments), row.exitCode);
        EXPECT_EQ(sys().standardOutput.rfind(row.console, 0), 0u) << sys().standardOutput;
        EXPECT_TRUE(sys().messageBoxes.empty());
        EXPECT_FALSE(standin::Called("GetTempPathA"));
    }
}

}  // namespace
