#include "fuzz_support.h"

#include <standin.h>

#include "brand.h"
#include "setupinfo/driver_entries.h"
#include "common/launch_folder.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fuzz {

static const char kTitle[] = BRAND_TITLE;

/* One scratch folder per process, in memory where the system has a tmpfs. */
static const std::string &ScratchRoot()
{
    static std::string root;
    if (root.empty()) {
        char pattern[] = "/dev/shm/setup-fuzz-XXXXXX";
        char fallback[] = "/tmp/setup-fuzz-XXXXXX";
        const char *made = mkdtemp(pattern);
        if (!made) made = mkdtemp(fallback);
        if (!made) Fail("no scratch folder");
        root = made;
        atexit([] { std::filesystem::remove_all(root); });
    }
    return root;
}

std::string FreshLaunchFolder(unsigned padding)
{
    std::string folder = ScratchRoot() + "/l";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (padding) folder += "/" + std::string(padding, 'p');
    MakeFolders(folder);
    return folder;
}

void MakeFolders(const std::string &hostPath)
{
    std::error_code ignored;
    std::filesystem::create_directories(hostPath, ignored);
}

void WriteHostFile(const std::string &hostPath, const std::string &content)
{
    std::ofstream out(hostPath, std::ios::binary);
    out << content;
}

static bool StaysInside(const std::string &entry)
{
    if (entry.empty() || entry.find(':') != std::string::npos) return false;
    if (entry[0] == '\\' || entry[0] == '/') return false;
    size_t start = 0;
    while (start <= entry.size()) {
        size_t end = entry.find_first_of("\\/", start);
        if (end == std::string::npos) end = entry.size();
        if (entry.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

/* The host path of a listed entry, when it stays below the launch folder. */
static bool EntryHostPath(const std::string &launchFolder, const std::string &entry, std::string *hostPath)
{
    if (!StaysInside(entry)) return false;
    std::string hostFolder;
    if (!standin::HostPath(launchFolder.c_str(), &hostFolder) ||
        !standin::HostPath((launchFolder + "\\" + entry).c_str(), hostPath))
        return false;
    return hostPath->compare(0, hostFolder.size() + 1, hostFolder + "/") == 0;
}

void PlaceEntry(const std::string &launchFolder, const std::string &entry, bool asFolder)
{
    std::string hostPath;
    if (!EntryHostPath(launchFolder, entry, &hostPath)) return;
    std::error_code ignored;
    if (asFolder) {
        std::filesystem::create_directories(hostPath, ignored);
    } else {
        std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path(), ignored);
        WriteHostFile(hostPath, "");
    }
}

void RemoveEntry(const std::string &launchFolder, const std::string &entry)
{
    std::string hostPath;
    std::error_code ignored;
    if (EntryHostPath(launchFolder, entry, &hostPath)) std::filesystem::remove_all(hostPath, ignored);
}

void CheckTerminated(const char *buffer, size_t size)
{
    if (!memchr(buffer, '\0', size)) Fail("buffer without terminator");
}

static const char kMissingFiles[] = "\nMissing printer driver files.\nExit the program.";
static const char kNetworkNotice[] = "\"Use a network port\" is selected.\n";

/* True when text is some FLj value followed by the missing-files text. */
static bool NamesWholeEntry(const std::string &text)
{
    std::string entry = text.substr(0, text.size() - strlen(kMissingFiles));
    if (entry.empty() || entry.size() > 254) return false;
    std::string setupPath = standin::state().currentDirectory + "\\Setup.INI";
    for (int j = 0; j < 1024; j++) {
        char key[16], value[256];
        snprintf(key, sizeof key, "FL%d", j);
        GetPrivateProfileStringA("FILELIST", key, "", value, 255, setupPath.c_str());
        if (entry == value) return true;
    }
    return false;
}

static bool EndsWith(const std::string &text, const char *tail)
{
    size_t length = strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

void CheckMessages(size_t least, size_t most)
{
    const std::vector<standin::MessageBoxCall> &boxes = standin::state().messageBoxes;
    if (boxes.size() < least || boxes.size() > most)
        Fail("expected " + std::to_string(least) + " to " + std::to_string(most) + " message boxes, saw " +
             std::to_string(boxes.size()));
    for (size_t i = 0; i < boxes.size(); i++) {
        const standin::MessageBoxCall &box = boxes[i];
        if (box.caption != kTitle || box.text.empty()) Fail("message box without title or text: " + box.text);
        if (EndsWith(box.text, kMissingFiles) && !NamesWholeEntry(box.text)) Fail("entry cut short: " + box.text);
        if (i + 1 < boxes.size() && box.text.compare(0, strlen(kNetworkNotice), kNetworkNotice) != 0)
            Fail("a message before the last that is not the network notice: " + box.text);
    }
}

void CheckStagingParameters(const std::string &parameters)
{
    if (parameters.size() > 259) Fail("staging parameters past 259 bytes");
    if (parameters.compare(0, 4, "-a \"") != 0 || parameters.back() != '"' || parameters.size() < 6)
        Fail("staging parameters not -a and a quoted path: " + parameters);
    std::string path = parameters.substr(4, parameters.size() - 5);
    if (path.find('"') != std::string::npos) Fail("a quote inside the staged path: " + parameters);
    std::string expected = std::string(g_launchFolder) + "\\" + g_infTable[0];
    if (path != expected) Fail("staged path " + path + " is not " + expected);
}

void ShowOutcome()
{
    for (const standin::MessageBoxCall &box : standin::state().messageBoxes)
        fprintf(stderr, "box %#x: %s\n", (unsigned)box.type, box.text.c_str());
    for (const standin::Launch &launch : standin::state().launches)
        fprintf(stderr, "%s: %s %s%s\n", launch.api.c_str(), launch.file.c_str(), launch.parameters.c_str(),
                launch.commandLine.c_str());
}

void Fail(const std::string &reason)
{
    fprintf(stderr, "fuzz check failed: %s\n", reason.c_str());
    abort();
}

}  // namespace fuzz
