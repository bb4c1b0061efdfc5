#include "support.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <regex>

void LauncherTest::SetUp()
{
    standin::Reset();
    char pattern[] = "/tmp/launcher-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    hostFolder = pattern;
    launchFolder = standin::WindowsPathOf(hostFolder);
    sys().currentDirectory = launchFolder;
    sys().modulePath = launchFolder + "\\Setup.exe";
    char tempPattern[] = "/tmp/launcher-temp-XXXXXX";
    ASSERT_NE(mkdtemp(tempPattern), nullptr);
    tempHostFolder = tempPattern;
    sys().tempDirectory = standin::WindowsPathOf(tempHostFolder) + "\\";
    ScriptDialogTemplates();
}

/* The executable's two templates at the sizes Wine gives them at 96 dots per inch:
 * client size in pixels and control ids in template order. */
void LauncherTest::ScriptDialogTemplates()
{
    standin::DialogTemplate notice;
    notice.width = 418, notice.height = 327;
    notice.controls = {IDOK, IDCANCEL, IDC_NOTICE_INFO_ICON, IDC_NOTICE_TEXT, IDC_NOTICE_WARNING_ICON,
                       IDC_NOTICE_WARNING_TEXT};
    sys().templates[IDD_NOTICE] = notice;
    standin::DialogTemplate page;
    page.width = 315, page.height = 301;
    page.controls = {IDC_PAGE_OK, IDCANCEL, IDC_DRIVER_PACKAGE, IDC_NETWORK_PORT, IDC_PAGE_INSTRUCTION,
                     IDC_STATIC, IDC_PAGE_MODEL_GROUP};
    sys().templates[IDD_PAGE] = page;
}

void LauncherTest::TearDown()
{
    std::string command = "rm -rf '" + hostFolder + "' '" + tempHostFolder + "'";
    EXPECT_EQ(system(command.c_str()), 0);
}

void LauncherTest::MakeFolder(const std::string &relative)
{
    std::string path = hostFolder;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        path += "/" + relative.substr(start, end - start);
        mkdir(path.c_str(), 0755);
        start = end + 1;
    }
}

void LauncherTest::Remove(const std::string &relative)
{
    std::string command = "rm -rf '" + hostFolder + "/" + relative + "'";
    EXPECT_EQ(system(command.c_str()), 0);
}

void LauncherTest::WriteFile(const std::string &relative, const std::string &content)
{
    size_t slash = relative.rfind('/');
    if (slash != std::string::npos) MakeFolder(relative.substr(0, slash));
    std::ofstream out(hostFolder + "/" + relative, std::ios::binary);
    out << content;
}

void LauncherTest::WriteValidSetupFile(const std::string &name)
{
    WriteFile(name, "[MODEL]\r\nMODEL=VQ-2200 Series\r\n[LANGUAGEMENU]\r\nLANGUAGEMENU=English\r\n");
}

int LauncherTest::RunLauncher(const char *arguments)
{
    static struct HINSTANCE__ instance;
    std::string line = arguments;
    sys().commandLine = "\"" + sys().modulePath + "\" " + line;
    return WinMain(&instance, NULL, &line[0], SW_SHOWNORMAL);
}

std::vector<std::string> LauncherTest::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const standin::MessageBoxCall &box : standin::state().messageBoxes) texts.push_back(box.text);
    return texts;
}

standin::ChildScript FailedLaunch(DWORD error)
{
    standin::ChildScript child;
    child.launchFails = true;
    child.launchError = error;
    return child;
}

standin::ChildScript Exits(DWORD exitCode, int printersAfter)
{
    standin::ChildScript child;
    child.exitCode = exitCode;
    child.runsFor = 300;
    child.printersAfter = printersAfter;
    return child;
}

std::vector<std::string> LogTexts(const std::string &hostPath)
{
    static const std::regex layout("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\[4321\\] (.*)\r$");
    std::ifstream in(hostPath, std::ios::binary);
    std::vector<std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(line, match, layout)) << line;
        texts.push_back(match.size() > 1 ? match[1].str() : line);
    }
    return texts;
}
