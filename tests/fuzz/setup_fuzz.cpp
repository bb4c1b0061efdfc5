/*
 * libFuzzer target: any bytes as the setup file, in a launch folder of fuzzed
 * length, with a fuzzed choice of which listed files are present.  Runs what
 * the launcher does with a setup file: the start-time check, and from there on
 * the steps that read the file again before installing.
 *
 * Input layout (missing bytes read as 0):
 *   byte 0      launch folder padding: a folder of (byte % 112) bytes below the
 *               scratch folder, so the launch folder crosses the 100-byte limit
 *   byte 1      layout flags (FLAG_*) and scripted answers
 *   bytes 2, 3  which FL entries exist: bit j of the 16-bit value for FLj;
 *               entry j is made a folder instead of a file when bit j of byte 4 is set
 *   byte 4      see above (FL0 to FL7 only)
 *   the rest    the setup file's bytes
 */
#include <standin.h>

#include "fuzz_support.h"
#include "setupinfo/setup_file.h"
#include "startup/launch_folder.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

enum {
    FLAG_SETUP_FILE_IS_FOLDER = 0x01, /* the setup file's name is taken by a folder */
    FLAG_SETUP_FILE_REMOVED = 0x02,   /* the file goes away between start and OK */
    FLAG_NINE_X = 0x04,               /* the version query reports the 9x family */
    FLAG_NETWORK = 0x08,              /* "Use a network port" ticked */
    FLAG_STAGING_FAILS = 0x10,        /* the staging tool exits with an error */
    FLAG_WIZARD_ADDS = 0x20,          /* the wizard adds a printer */
};

struct Input {
    unsigned padding;
    unsigned flags;
    unsigned present;
    unsigned folders;
    std::string setupFile;
};

Input Parse(const uint8_t *data, size_t size)
{
    uint8_t header[5] = {0, 0, 0, 0, 0};
    size_t headerSize = size < sizeof header ? size : sizeof header;
    memcpy(header, data, headerSize);
    Input input;
    input.padding = header[0] % 112;
    input.flags = header[1];
    input.present = header[2] | (unsigned)header[3] << 8;
    input.folders = header[4];
    input.setupFile.assign((const char *)data + headerSize, size - headerSize);
    return input;
}

/* Lays out the launch folder for one input; returns its Windows path. */
std::string LayOut(const Input &input)
{
    std::string folder = fuzz::FreshLaunchFolder(input.padding);
    std::string setupPath = folder + "/Setup.INI";
    if (input.flags & FLAG_SETUP_FILE_IS_FOLDER)
        fuzz::MakeFolders(setupPath);
    else
        fuzz::WriteHostFile(setupPath, input.setupFile);
    return standin::WindowsPathOf(folder);
}

/* Creates the FILELIST entries the input marks present, read as the launcher reads them. */
void PlaceListedFiles(const Input &input, const std::string &launchFolder)
{
    std::string setupPath = launchFolder + "\\Setup.INI";
    for (int j = 0; j < 16; j++) {
        if (!(input.present & (1u << j))) continue;
        char key[16], value[MAX_PATH];
        snprintf(key, sizeof key, "FL%d", j);
        GetPrivateProfileStringA("FILELIST", key, "", value, 255, setupPath.c_str());
        fuzz::PlaceEntry(launchFolder, value, j < 8 && (input.folders & (1u << j)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input input = Parse(data, size);
    standin::Reset();
    std::string launchFolder = LayOut(input);
    standin::State &sys = standin::state();
    sys.currentDirectory = launchFolder;
    sys.modulePath = launchFolder + "\\Setup.exe";
    if (input.flags & FLAG_NINE_X) sys.platform = VER_PLATFORM_WIN32_WINDOWS;
    PlaceListedFiles(input, launchFolder);
    sys.calls.clear();

    if (!CaptureLaunchFolder()) return 0;
    fuzz::CheckTerminated(g_launchFolder, sizeof g_launchFolder);
    int started = CheckSetupFileAtStart();
    fuzz::CheckTerminated(g_captionText, sizeof g_captionText);
    fuzz::CheckTerminated(g_baseName, sizeof g_baseName);
    fuzz::CheckMessages(started ? 0 : 1);
    return 0;
}
