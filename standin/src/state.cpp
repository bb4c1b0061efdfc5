/* Scripted state of the stand-in, and the mapping of Windows paths to host paths. */
#include <standin.h>

#include <dirent.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace standin {

static State g_state;

State &state() { return g_state; }

void Log(const std::string &line) { g_state.calls.push_back(line); }

bool Called(const std::string &prefix)
{
    for (const std::string &line : g_state.calls)
        if (line.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

std::string WindowsPathOf(const std::string &hostPath)
{
    std::string path = "C:";
    for (char c : hostPath) path += (c == '/') ? '\\' : c;
    if (path.size() == 2) path += '\\';
    return path;
}

void Reset()
{
    for (FileHandle &file : g_state.files)
        if (!file.closed) close(file.fd);
    g_state = State();
    g_state.drives['C'] = "";
    char cwd[4096];
    g_state.currentDirectory = WindowsPathOf(getcwd(cwd, sizeof cwd) ? cwd : "/");
    g_state.tempDirectory = WindowsPathOf("/tmp") + "\\";
}

/* Finds name in folder ignoring case; the exact name when nothing matches. */
static std::string ResolveName(const std::string &folder, const std::string &name)
{
    struct stat info;
    std::string exact = folder + "/" + name;
    if (stat(exact.c_str(), &info) == 0) return name;
    DIR *dir = opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir) return name;
    std::string found = name;
    while (struct dirent *entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

/* Appends the backslash- or slash-separated names of rest to base, one by one. */
static std::string JoinNames(std::string base, const std::string &rest)
{
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of("\\/", start);
        if (end == std::string::npos) end = rest.size();
        std::string name = rest.substr(start, end - start);
        if (name == "..") {
            size_t slash = base.rfind('/');
            base = (slash == std::string::npos) ? "" : base.substr(0, slash);
        } else if (!name.empty() && name != ".") {
            base += "/" + ResolveName(base, name);
        }
        start = end + 1;
    }
    return base.empty() ? "/" : base;
}

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HostPath(const char *windowsPath, std::string *hostPath)
{
    std::string path = windowsPath ? windowsPath : "";
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        if (g_state.uncRoot.empty()) return false;
        *hostPath = JoinNames(g_state.uncRoot, path.substr(2));
        return true;
    }
    if (path.size() >= 2 && path[1] == ':') {
        char letter = (char)toupper((unsigned char)path[0]);
        auto drive = g_state.drives.find(letter);
        if (drive == g_state.drives.end()) return false;
        std::string rest = path.substr(2);
        if (rest.empty() || !IsSeparator(rest[0])) {
            /* Drive-relative: only the current drive's folder is known. */
            const std::string &cwd = g_state.currentDirectory;
            if (cwd.size() >= 2 && toupper((unsigned char)cwd[0]) == letter) rest = cwd.substr(2) + "\\" + rest;
        }
        *hostPath = JoinNames(drive->second, rest);
        return true;
    }
    if (!path.empty() && IsSeparator(path[0])) {
        std::string root = g_state.currentDirectory.substr(0, 2);
        return HostPath((root + path).c_str(), hostPath);
    }
    return HostPath((g_state.currentDirectory + "\\" + path).c_str(), hostPath);
}

}  // namespace standin
