/* The check before installing: INF table and listed driver files. */
#include "setupinfo/driver_entries.h"
#include "common/launch_folder.h"
#include "support.h"

#include <string.h>

namespace {

const char kMissingSetup[] = "Missing to setup infomation file.\n\nExit the program.";
const char kFailed[] = "Failed to setup infomation file.\n\nExit the program.";
const char kFilesMissing[] = "\nMissing printer driver files.\nExit the program.";

const char kHead[] = "[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n";
const char kOneInf[] = "[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=VQ2200.inf\n";
const char kOneFile[] = "[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=VQ2200.inf\n";

class DriverEntriesTest : public LauncherTest {
protected:
    void SetUp() override
    {
        LauncherTest::SetUp();
        strcpy(g_launchFolder, launchFolder.c_str());
        WriteFile("VQ2200.inf", "inf");
        WriteFile("VQ2200.cat", "cat");
        WriteFile("x64/VQ2200.dll", "dll");
    }

    /* Runs the check on a setup file of kHead and body. */
    int Check(const std::string &body)
    {
        WriteFile("Setup.INI", kHead + body);
        return CheckDriverEntries();
    }

    /* The one message shown, checked to be an error box without owner. */
    std::string OnlyMessage()
    {
        if (sys().messageBoxes.size() != 1) return "<" + std::to_string(sys().messageBoxes.size()) + " boxes>";
        EXPECT_EQ(sys().messageBoxes[0].owner, (HWND)NULL);
        EXPECT_EQ(sys().messageBoxes[0].type, 0x10010u);
        EXPECT_EQ(sys().messageBoxes[0].caption, BRAND_TITLE);
        return sys().messageBoxes[0].text;
    }

    std::vector<std::string> Table()
    {
        std::vector<std::string> table;
        for (const char *slot : g_infTable) table.push_back(slot);
        return table;
    }
};

TEST_F(DriverEntriesTest, ReadsTheInfTable)
{
    struct Case {
        const char *infSection;
        const char *message;  /* nullptr: passes */
        std::vector<std::string> table;
    } cases[] = {
        {"[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=VQ2200.inf\n", nullptr, {"VQ2200.inf", "", "", "", ""}},
        {"[INFNUM]\nINFITEM=2\n[INFNAME]\nINF0=VQ2200.inf\nINF1=x64\\VQ2200x.inf\n", nullptr,
         {"VQ2200.inf", "x64\\VQ2200x.inf", "", "", ""}},
        {"[INFNUM]\nINFITEM=1abc\n[INFNAME]\nINF0=A.inf\nINF1=B.inf\n", nullptr, {"A.inf", "", "", "", ""}},
        {"[INFNUM]\nINFITEM=-1\n[INFNAME]\nINF0=A.inf\n", nullptr, {"", "", "", "", ""}},
        {"[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=Unknown\n", nullptr, {"Unknown", "", "", "", ""}},
        /* More entries than slots: all must be valid, the first five are kept. */
        {"[INFNUM]\nINFITEM=7\n[INFNAME]\nINF0=a\nINF1=b\nINF2=c\nINF3=d\nINF4=e\nINF5=f\nINF6=g\n", nullptr,
         {"a", "b", "c", "d", "e"}},
        {"[INFNUM]\nINFITEM=7\n[INFNAME]\nINF0=a\nINF1=b\nINF2=c\nINF3=d\nINF4=e\nINF5=f\n", kFailed, {}},
        {"[INFNUM]\nINFITEM=0\n[INFNAME]\nINF0=A.inf\n", kFailed, {}},
        {"[INFNAME]\nINF0=A.inf\n", kFailed, {}},
        {"[INFNUM]\nINFITEM=two\n[INFNAME]\nINF0=A.inf\n", kFailed, {}},
        {"[INFNUM]\nINFITEM=1\n", kFailed, {}},
        {"[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=\n", kFailed, {}},
        {"[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=unknown\n", kFailed, {}},
        {"[INFNUM]\nINFITEM=2\n[INFNAME]\nINF0=A.inf\n", kFailed, {}},
        /* A double quote would split the staging command's quoted path. */
        {"[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=A.inf\" /x \"B.inf\n", kFailed, {}},
        {"[INFNUM]\nINFITEM=2\n[INFNAME]\nINF0=A.inf\nINF1=B\"x.inf\n", kFailed, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.infSection);
        Restart();
        strcpy(g_infTable[0], "left over");
        EXPECT_EQ(Check(c.infSection + std::string(kOneFile)), c.message ? 0 : 1);
        if (c.message) {
            EXPECT_EQ(OnlyMessage(), c.message);
            EXPECT_FALSE(standin::Called("PathFileExistsA(" + launchFolder + "\\VQ2200.inf)"));
        } else {
            EXPECT_TRUE(sys().messageBoxes.empty());
            EXPECT_EQ(Table(), c.table);
        }
    }
}

TEST_F(DriverEntriesTest, ChecksEveryListedFileUnderTheLaunchFolder)
{
    struct Case {
        const char *fileSection;
        const char *message;  /* nullptr: passes */
    } cases[] = {
        {"[FILENUM]\nFILEITEM=3\n[FILELIST]\nFL0=VQ2200.inf\nFL1=vq2200.CAT\nFL2=x64\\VQ2200.dll\n", nullptr},
        {"[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=x64\n", nullptr},          /* a folder counts as present */
        {"[FILENUM]\nFILEITEM=2x\n[FILELIST]\nFL0=VQ2200.inf\nFL1=x64\\VQ2200.dll\nFL2=gone\n", nullptr},
        {"[FILENUM]\nFILEITEM=-3\n[FILELIST]\nFL0=gone\n", nullptr},         /* negative: nothing checked */
        {"[FILENUM]\nFILEITEM=0\n[FILELIST]\nFL0=VQ2200.inf\n", kFailed},
        {"[FILELIST]\nFL0=VQ2200.inf\n", kFailed},
        {"[FILENUM]\nFILEITEM=none\n[FILELIST]\nFL0=VQ2200.inf\n", kFailed},
        {"[FILENUM]\nFILEITEM=2\n[FILELIST]\nFL0=VQ2200.inf\n", kFailed},
        {"[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=\n", kFailed},
        {"[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=unknown\n", kFailed},
        {"[FILENUM]\nFILEITEM=2\n[FILELIST]\nFL0=VQ2200.inf\nFL1=x86\\VQ2200.dll\n",
         "x86\\VQ2200.dll\nMissing printer driver files.\nExit the program."},
        {"[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=VQ2200.dll\n",
         "VQ2200.dll\nMissing printer driver files.\nExit the program."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fileSection);
        Restart();
        EXPECT_EQ(Check(kOneInf + std::string(c.fileSection)), c.message ? 0 : 1);
        if (c.message) {
            EXPECT_EQ(OnlyMessage(), c.message);
        } else {
            EXPECT_TRUE(sys().messageBoxes.empty());
        }
    }
}

TEST_F(DriverEntriesTest, StopsAtTheFirstFailure)
{
    EXPECT_EQ(Check(kOneInf + std::string("[FILENUM]\nFILEITEM=3\n[FILELIST]\nFL0=VQ2200.inf\nFL1=gone.dll\n")), 0);
    EXPECT_EQ(OnlyMessage(), "gone.dll\nMissing printer driver files.\nExit the program.");
    EXPECT_TRUE(standin::Called("PathFileExistsA(" + launchFolder + "\\VQ2200.inf)"));
    for (const std::string &call : sys().calls) EXPECT_EQ(call.find("FL2"), std::string::npos);

    Restart();
    EXPECT_EQ(Check("[INFNUM]\nINFITEM=3\n[INFNAME]\nINF0=a\nINF2=c\n" + std::string(kOneFile)), 0);
    EXPECT_EQ(OnlyMessage(), kFailed);
    for (const std::string &call : sys().calls) EXPECT_EQ(call.find("INF2"), std::string::npos);
}

TEST_F(DriverEntriesTest, SetupFileGoneSinceStart)
{
    EXPECT_EQ(CheckDriverEntries(), 0);
    EXPECT_EQ(OnlyMessage(), kMissingSetup);
}

TEST_F(DriverEntriesTest, LongEntriesAtTheirLimits)
{
    /* The message carries the whole entry, at the most a value can hold. */
    std::string longest(254, 'n');
    EXPECT_EQ(Check(kOneInf + std::string("[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=") + longest + "\n"), 0);
    EXPECT_EQ(OnlyMessage(), longest + kFilesMissing);

    /* An INF name of 254 bytes fits its slot whole. */
    Restart();
    EXPECT_EQ(Check("[INFNUM]\nINFITEM=1\n[INFNAME]\nINF0=" + longest + "\n" + kOneFile), 1);
    EXPECT_EQ(std::string(g_infTable[0]), longest);

    /* A listed file whose full path takes 259 bytes is found; one of 260 bytes
     * counts as missing even though it exists, as no path that long can be opened. */
    size_t room = MAX_PATH - 1 - (launchFolder.size() + 1);
    for (size_t length : {room, room + 1}) {
        SCOPED_TRACE(length);
        Restart();
        std::string folder(100, 'd');
        std::string name(length - folder.size() - 1, 'f');
        WriteFile(folder + "/" + name, "x");
        WriteFile(folder + "/" + name.substr(0, name.size() - 1), "x");  /* what a path cut short would name */
        std::string entry = folder + "\\" + name;
        int result = Check(kOneInf + std::string("[FILENUM]\nFILEITEM=1\n[FILELIST]\nFL0=") + entry + "\n");
        EXPECT_EQ(result, length == room ? 1 : 0);
        if (length != room) {
            EXPECT_EQ(OnlyMessage(), entry + kFilesMissing);
        }
    }
}

}  // namespace
