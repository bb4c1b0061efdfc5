/* Finding the setup information file and the check made on it at start. */
#include "setupinfo/setup_file.h"
#include "common/launch_folder.h"
#include "support.h"

#include <string.h>

namespace {

const char kMissing[] = "Missing to setup infomation file.\n\nExit the program.";
const char kFailed[] = "Failed to setup infomation file.\n\nExit the program.";

class SetupFileTest : public LauncherTest {
protected:
    /* Runs the start-time check with launchFolder as the launch folder. */
    int Check()
    {
        strcpy(g_launchFolder, sys().currentDirectory.c_str());
        return CheckSetupFileAtStart();
    }

    std::string SetupPath()
    {
        char path[MAX_PATH];
        strcpy(g_launchFolder, sys().currentDirectory.c_str());
        BuildSetupFilePath(path);
        return path;
    }
};

TEST_F(SetupFileTest, StartCheckJudgesModelAndLanguageMenu)
{
    struct Case {
        const char *content;
        const char *message;  /* nullptr: passes */
        const char *caption;
    } cases[] = {
        {"[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n", nullptr, "VQ-2200"},
        {"[MODEL]\nMODEL=Unknown\n[LANGUAGEMENU]\nLANGUAGEMENU=UNKNOWN\n", nullptr, "Unknown"},
        {"[model]\n  model  =  VQ 2200  \n[LanguageMenu]\nLanguageMenu=0\n", nullptr, "VQ 2200"},
        {"[MODEL]\nMODEL=\"VQ-2200\"\n[LANGUAGEMENU]\nLANGUAGEMENU=x\n", nullptr, "VQ-2200"},
        {"[MODEL]\nMODEL=unknown\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n", kFailed, ""},
        {"[MODEL]\nMODEL=\"unknown\"\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n", kFailed, ""},
        {"[MODEL]\nMODEL=\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n", kFailed, ""},
        {"[MODEL]\nMODEL\n[LANGUAGEMENU]\nLANGUAGEMENU=English\n", kFailed, ""},
        {"[LANGUAGEMENU]\nLANGUAGEMENU=English\n", kFailed, ""},
        {"[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=unknown\n", kFailed, "VQ-2200"},
        {"[MODEL]\nMODEL=VQ-2200\n[LANGUAGEMENU]\nLANGUAGEMENU=\n", kFailed, "VQ-2200"},
        {"[MODEL]\nMODEL=VQ-2200\n", kFailed, "VQ-2200"},
        {"", kFailed, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.content);
        Restart();
        g_captionText[0] = '\0';
        WriteFile("Setup.INI", c.content);
        EXPECT_EQ(Check(), c.message ? 0 : 1);
        if (c.message) {
            ASSERT_EQ(sys().messageBoxes.size(), 1u);
            EXPECT_EQ(sys().messageBoxes[0].text, c.message);
            EXPECT_EQ(sys().messageBoxes[0].type, 0x10010u);
            EXPECT_EQ(sys().messageBoxes[0].owner, nullptr);
        } else {
            EXPECT_TRUE(sys().messageBoxes.empty());
        }
        EXPECT_STREQ(g_captionText, c.caption);
    }
}

TEST_F(SetupFileTest, MissingFileIsToldApart)
{
    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{kMissing});
    EXPECT_FALSE(standin::Called("GetPrivateProfileStringA"));
}

TEST_F(SetupFileTest, FolderWithTheFileNamePassesExistenceButFailsTheValues)
{
    MakeFolder("Setup.INI");
    EXPECT_EQ(Check(), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{kFailed});
}

TEST_F(SetupFileTest, FileNameMatchesWithoutRegardToCase)
{
    WriteValidSetupFile("setup.ini");
    EXPECT_EQ(Check(), 1);
}

TEST_F(SetupFileTest, LongModelIsCutTo254Bytes)
{
    std::string model(300, 'M');
    WriteFile("Setup.INI", "[MODEL]\nMODEL=" + model + "\n[LANGUAGEMENU]\nLANGUAGEMENU=1\n");
    EXPECT_EQ(Check(), 1);
    EXPECT_EQ(std::string(g_captionText), model.substr(0, 254));
}

TEST_F(SetupFileTest, FileIsNamedAfterTheExecutableAndFoundInTheLaunchFolder)
{
    /* The executable lives elsewhere; only its base name counts. */
    sys().modulePath = "D:\\Tools\\Other.Name.exe";
    WriteValidSetupFile("Other.Name.INI");
    EXPECT_EQ(SetupPath(), launchFolder + "\\Other.Name.INI");
    EXPECT_STREQ(g_baseName, "Other.Name");
    EXPECT_EQ(Check(), 1);
}

TEST_F(SetupFileTest, JoinRuleAtDriveRootsAndElsewhere)
{
    struct Case {
        DWORD platform;
        bool queryFails;
        const char *folder;
        const char *path;
    } cases[] = {
        {VER_PLATFORM_WIN32_NT, false, "C:\\", "C:\\\\Setup.INI"},
        {VER_PLATFORM_WIN32_WINDOWS, false, "C:\\", "C:\\Setup.INI"},
        {VER_PLATFORM_WIN32_WINDOWS, true, "C:\\", "C:\\\\Setup.INI"},
        {VER_PLATFORM_WIN32_WINDOWS, false, "C:\\a", "C:\\a\\Setup.INI"},
        {VER_PLATFORM_WIN32_WINDOWS, false, "\\\\s", "\\\\s\\Setup.INI"},
        {VER_PLATFORM_WIN32_NT, false, "\\\\server\\share", "\\\\server\\share\\Setup.INI"},
        {VER_PLATFORM_WIN32_NT, false, "C:\\pkg\\", "C:\\pkg\\\\Setup.INI"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        standin::Reset();
        sys().platform = c.platform;
        sys().extendedQueryFails = sys().basicQueryFails = c.queryFails;
        sys().modulePath = "C:\\pkg\\Setup.exe";
        sys().currentDirectory = c.folder;
        EXPECT_EQ(SetupPath(), c.path);
    }
}

TEST_F(SetupFileTest, DriveRootOnNtStillFindsTheFile)
{
    /* "D:\\Setup.INI" names the same file as "D:\Setup.INI". */
    sys().drives['D'] = hostFolder;
    sys().currentDirectory = "D:\\";
    WriteValidSetupFile();
    EXPECT_EQ(Check(), 1);
}

TEST_F(SetupFileTest, OverlongPathIsCutAt259Bytes)
{
    sys().currentDirectory = "C:\\" + std::string(97, 'f');
    sys().modulePath = "C:\\" + std::string(200, 'n') + ".exe";
    std::string path = SetupPath();
    EXPECT_EQ(path.size(), 259u);
    EXPECT_EQ(path, (sys().currentDirectory + "\\" + std::string(200, 'n') + ".INI").substr(0, 259));
}

TEST(SetupValueTest, ValidityIsExactAndCaseSensitive)
{
    struct Case {
        const char *value;
        int valid;
    } cases[] = {{"unknown", 0}, {"", 0}, {"Unknown", 1}, {"unknown ", 1}, {" ", 1}, {"x", 1}};
    for (const Case &c : cases) EXPECT_EQ(IsValidSetupValue(c.value), c.valid) << '"' << c.value << '"';
}

}  // namespace
