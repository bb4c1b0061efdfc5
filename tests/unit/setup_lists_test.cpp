/* The setup file's list rules, read once for both readers: the launcher's
 * check before installing and the package check agree on every entry. */
#include "common/launch_folder.h"
#include "setupinfo/driver_entries.h"
#include "setupinfo/package_check.h"
#include "support.h"

#include <string.h>

namespace {

const char kHead[] = "[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n";
const char kInf[] = "[Version]\nSignature=\"$Windows NT$\"\nCatalogFile=a.inf\n";

class SetupListsTest : public LauncherTest {};

TEST_F(SetupListsTest, LauncherAndPackageCheckJudgeEntriesAlike)
{
    const std::string longName(200, 'n');
    struct Row {
        const char *name;
        std::string lists;  /* the setup file after MODEL and LANGUAGEMENU */
        bool valid;           /* the package check finds no error */
        bool launcherPasses;  /* the launcher's check passes: the same, but that it takes a cut value as read */
    } rows[] = {
        {"sound", "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=a.inf\n[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=a.inf\n", true, true},
        {"INF name with a quote", "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=a\"b.inf\n[FILENUM]\nFILEITEM=1\n"
                                  "[FILELIST]\nFL0=a.inf\n", false, false},
        {"INF name \"unknown\"", "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=unknown\n[FILENUM]\nFILEITEM=1\n"
                                 "[FILELIST]\nFL0=a.inf\n", false, false},
        {"second INF name empty", "[INFNUM]\nINFITEM=2\n[INFNAME]\nINF0=a.inf\nINF1=\n[FILENUM]\nFILEITEM=1\n"
                                  "[FILELIST]\nFL0=a.inf\n", false, false},
        {"INF name of 255 bytes, read cut", "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=" + std::string(255, 'i') +
                                            "\n[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=a.inf\n", false, true},
        {"INF count not a number", "[INFNUM]\nINFITEM=one\n[INFNAME]\nINF0=a.inf\n[FILENUM]\nFILEITEM=1\n"
                                   "[FILELIST]\nFL0=a.inf\n", false, false},
        {"file count missing", "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=a.inf\n[FILELIST]\nFL0=a.inf\n", false, false},
        {"listed file missing", "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=a.inf\n[FILENUM]\nFILEITEM=1\n"
                                "[FILELIST]\nFL0=b.inf\n", false, false},
        {"file name of 200 bytes", "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=a.inf\n[FILENUM]\nFILEITEM=1\n"
                                   "[FILELIST]\nFL0=" + longName + "\n", true, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart();
        WriteFile("Setup.INI", kHead + row.lists);
        WriteFile("a.inf", kInf);
        WriteFile(longName, "x");
        strcpy(g_launchFolder, launchFolder.c_str());
        EXPECT_EQ(CheckDriverEntries(), row.launcherPasses ? 1 : 0);
        int errors = 0;
        EXPECT_EQ(CheckPackage(&errors), row.valid ? ERROR_SUCCESS : ERROR_INSTALL_PACKAGE_INVALID)
            << sys().standardOutput;
    }
}

}  // namespace
