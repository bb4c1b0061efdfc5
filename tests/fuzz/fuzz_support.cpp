#include "fuzz_support.h"

#include <standin.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fuzz {

static const char kTitle[] = "ZEMBRIX VQ Series Printer Driver Package";

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

void PlaceEntry(const std::string &launchFolder, const std::string &entry, bool asFolder)
{
    if (!StaysInside(entry)) return;
    std::string hostFolder, hostPath;
    if (!standin::HostPath(launchFolder.c_str(), &hostFolder) ||
        !standin::HostPath((launchFolder + "\\" + entry).c_str(), &hostPath))
        return;
    if (hostPath.compare(0, hostFolder.size() + 1, hostFolder + "/") != 0) return;
    std::error_code ignored;
    if (asFolder) {
        std::filesystem::create_directories(hostPath, ignored);
    } else {
        std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path(), ignored);
        WriteHostFile(hostPath, "");
    }
}

void CheckTerminated(const char *buffer, size_t size)
{
    if (!memchr(buffer, '\0', size)) Fail("buffer without terminator");
}

void CheckMessages(size_t count)
{
    const std::vector<standin::MessageBoxCall> &boxes = standin::state().messageBoxes;
    if (boxes.size() != count)
        Fail("expected " + std::to_string(count) + " message boxes, saw " + std::to_string(boxes.size()));
    for (const standin::MessageBoxCall &box : boxes)
        if (box.caption != kTitle || box.text.empty()) Fail("message box without title or text: " + box.text);
}

void Fail(const std::string &reason)
{
    fprintf(stderr, "fuzz check failed: %s\n", reason.c_str());
    abort();
}

}  // namespace fuzz
