/*
 * libFuzzer target: any bytes as the setup file, in a launch folder of fuzzed
 * length, with a fuzzed choice of which listed files are present.  Runs the
 * whole launch on the stand-in: the start-up checks, the window stage with the
 * notice confirmed, then OK on the page, which runs the manifest check and
 * builds and starts the staging and wizard commands, whose outcomes are
 * scripted by the input too.
 *
 * Input layout (missing bytes read as 0):
 *   byte 0      launch folder padding: a folder of (byte % 112) bytes below the
 *               scratch folder, so the launch folder crosses the 100-byte limit
 *   byte 1      flags (FLAG_*)
 *   bytes 2, 3  which FL entries exist: bit j of the 16-bit value for FLj
 *   byte 4      FL0 to FL7: bit j makes entry j a folder instead of a file
 *   byte 5      extra bytes in the Windows folder's name ("C:\WINDOWS" and more)
 *   the rest    the setup file's bytes
 */
#include <standin.h>

#include "fuzz_support.h"
#include "resource.h"
#include "setupinfo/driver_entries.h"
#include "setupinfo/setup_file.h"
#include "ui/frame.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

enum {
    FLAG_SETUP_FILE_IS_FOLDER = 0x01, /* the setup file's name is taken by a folder */
    FLAG_REMOVED_BEFORE_OK = 0x02,    /* the setup file and FL0 go away between start and OK */
    FLAG_NINE_X = 0x04,               /* the version query reports the 9x family */
    FLAG_NETWORK = 0x08,              /* "Use a network port" ticked */
    FLAG_STAGING_FAILS = 0x10,        /* the staging tool exits with an error */
    FLAG_WIZARD_ADDS = 0x20,          /* the wizard adds a printer */
    FLAG_LAUNCH_FAILS = 0x40,         /* the staging tool cannot be started */
    FLAG_SPOOLER_ERROR = 0x80,        /* the spooler answers with an error */
};

const size_t kHeaderSize = 6;

struct Input {
    unsigned padding;
    unsigned flags;
    unsigned present;
    unsigned folders;
    unsigned windowsPadding;
    std::string setupFile;
};

Input Parse(const uint8_t *data, size_t size)
{
    uint8_t header[kHeaderSize] = {0};
    size_t headerSize = size < kHeaderSize ? size : kHeaderSize;
    memcpy(header, data, headerSize);
    Input input;
    input.padding = header[0] % 112;
    input.flags = header[1];
    input.present = header[2] | (unsigned)header[3] << 8;
    input.folders = header[4];
    input.windowsPadding = header[5];
    input.setupFile.assign((const char *)data + headerSize, size - headerSize);
    return input;
}

/* The input being run, for the user's actions while the loop waits. */
const Input *g_input;
std::string g_hostLaunchFolder;

/* Lays out the launch folder for one input; returns its Windows path. */
std::string LayOut(const Input &input)
{
    g_hostLaunchFolder = fuzz::FreshLaunchFolder(input.padding);
    std::string setupPath = g_hostLaunchFolder + "/Setup.INI";
    if (input.flags & FLAG_SETUP_FILE_IS_FOLDER)
        fuzz::MakeFolders(setupPath);
    else
        fuzz::WriteHostFile(setupPath, input.setupFile);
    return standin::WindowsPathOf(g_hostLaunchFolder);
}

std::string ReadListedEntry(const std::string &launchFolder, int j)
{
    char key[16], value[MAX_PATH];
    snprintf(key, sizeof key, "FL%d", j);
    GetPrivateProfileStringA("FILELIST", key, "", value, 255, (launchFolder + "\\Setup.INI").c_str());
    return value;
}

/* Creates the FILELIST entries the input marks present, read as the launcher reads them. */
void PlaceListedFiles(const Input &input, const std::string &launchFolder)
{
    for (int j = 0; j < 16; j++)
        if (input.present & (1u << j))
            fuzz::PlaceEntry(launchFolder, ReadListedEntry(launchFolder, j), j < 8 && (input.folders & (1u << j)));
}

/* The user at the page: optionally ticks the network box, then presses OK. */
void PressOk()
{
    if (g_input->flags & FLAG_REMOVED_BEFORE_OK) {
        std::string launchFolder = standin::WindowsPathOf(g_hostLaunchFolder);
        fuzz::RemoveEntry(launchFolder, ReadListedEntry(launchFolder, 0));
        fuzz::RemoveEntry(launchFolder, "Setup.INI");
    }
    if (g_input->flags & FLAG_NETWORK) CheckDlgButton(g_pageWindow, IDC_NETWORK_PORT, BST_CHECKED);
    SendMessageA(g_pageWindow, WM_COMMAND, MAKEWPARAM(IDC_PAGE_OK, BN_CLICKED),
                 (LPARAM)GetDlgItem(g_pageWindow, IDC_PAGE_OK));
}

void ScriptSystem(const Input &input, const std::string &launchFolder)
{
    standin::State &sys = standin::state();
    sys.currentDirectory = launchFolder;
    sys.modulePath = launchFolder + "\\Setup.exe";
    if (input.flags & FLAG_NINE_X) sys.platform = VER_PLATFORM_WIN32_WINDOWS;
    sys.windowsDirectory += std::string(input.windowsPadding, 'w');
    /* The two templates as the system builds them at 96 dots per inch. */
    standin::DialogTemplate notice;
    notice.width = 359, notice.height = 327;
    notice.controls = {IDOK, IDCANCEL, IDC_NOTICE_INFO_ICON, IDC_NOTICE_TEXT, IDC_NOTICE_WARNING_ICON,
                       IDC_NOTICE_WARNING_TEXT};
    sys.templates[IDD_NOTICE] = notice;
    standin::DialogTemplate page;
    page.width = 270, page.height = 301;
    page.controls = {IDC_PAGE_OK, IDCANCEL, IDC_DRIVER_PACKAGE, IDC_NETWORK_PORT, IDC_PAGE_INSTRUCTION,
                     IDC_STATIC, IDC_PAGE_MODEL_GROUP};
    sys.templates[IDD_PAGE] = page;
    sys.dialogPresses = {IDOK};
    sys.whileLoopWaits = PressOk;

    standin::ChildScript staging;
    staging.launchFails = (input.flags & FLAG_LAUNCH_FAILS) != 0;
    staging.runsFor = 250;
    staging.exitCode = (input.flags & FLAG_STAGING_FAILS) ? 1 : 0;
    standin::ChildScript wizard;
    wizard.runsFor = 150;
    wizard.printersAfter = (input.flags & FLAG_WIZARD_ADDS) ? 1 : 0;
    sys.children = {staging, wizard};
    if (input.flags & FLAG_SPOOLER_ERROR) sys.spoolerAnswers = {standin::SpoolerAnswer{0, 1722}};
}

/* What must hold after any launch, whatever the setup file said. */
void CheckOutcome(int exitCode)
{
    const standin::State &sys = standin::state();
    if (exitCode != 0) fuzz::Fail("exit code " + std::to_string(exitCode));
    fuzz::CheckTerminated(g_captionText, sizeof g_captionText);
    for (const char *slot : g_infTable) fuzz::CheckTerminated(slot, MAX_PATH);
    fuzz::CheckMessages(1, 2);
    for (const standin::Launch &launch : sys.launches) {
        if (launch.api == "ShellExecuteExA") {
            if (launch.file != sys.windowsDirectory + "\\SYSTEM32\\pnputil.exe") fuzz::Fail("staging tool " + launch.file);
            fuzz::CheckStagingParameters(launch.parameters);
        } else {
            const std::string program = sys.windowsDirectory + "\\SYSTEM32\\rundll32.exe";
            if (launch.applicationName != program) fuzz::Fail("wizard program " + launch.applicationName);
            if (launch.commandLine != program + " printui.dll,PrintUIEntry /il") {
                fuzz::Fail("wizard command " + launch.commandLine);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input input = Parse(data, size);
    g_input = &input;
    standin::Reset();
    std::string launchFolder = LayOut(input);
    ScriptSystem(input, launchFolder);
    PlaceListedFiles(input, launchFolder);
    standin::state().calls.clear();

    static struct HINSTANCE__ instance;
    char commandLine[] = "";
    int exitCode = WinMain(&instance, NULL, commandLine, SW_SHOWNORMAL);
    if (getenv("SETUP_FUZZ_SHOW")) fuzz::ShowOutcome();
    CheckOutcome(exitCode);
    return 0;
}
