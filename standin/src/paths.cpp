/* shlwapi subset: path tests; the run-time library's bounded formatter. */
#include <shlwapi.h>
#include <standin.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

static bool IsSeparator(char c) { return c == '\\' || c == '/'; }

/* Windows drops trailing periods and spaces from the last name of a path
 * ("Setup.INI." names Setup.INI), but leaves "." and ".." as they are. */
static std::string TrimLastName(const std::string &path)
{
    size_t separator = path.find_last_of("\\/");
    size_t start = separator == std::string::npos ? 0 : separator + 1;
    std::string last = path.substr(start);
    if (last == "." || last == "..") return path;
    size_t end = path.size();
    while (end > start && (path[end - 1] == '.' || path[end - 1] == ' ')) end--;
    return path.substr(0, end);
}

/* A file or a folder counts as existing.  An empty name names nothing, and a
 * name ending in a separator names a folder only ("Setup.INI\" is missing). */
BOOL WINAPI PathFileExistsA(LPCSTR path)
{
    standin::Log(std::string("PathFileExistsA(") + (path ? path : "NULL") + ")");
    std::string name = path ? TrimLastName(path) : "";
    std::string hostPath;
    struct stat info;
    if (name.empty() || !standin::HostPath(name.c_str(), &hostPath)) return FALSE;
    if (stat(hostPath.c_str(), &info) != 0) return FALSE;
    bool folderOnly = IsSeparator(name[name.size() - 1]);
    return !folderOnly || S_ISDIR(info.st_mode);
}

/* Two leading backslashes make a UNC name, except for the long-path prefix
 * "\\?\", which is UNC only as "\\?\UNC\" ("\\?\C:\x" is a drive path). */
BOOL WINAPI PathIsUNCA(LPCSTR path)
{
    standin::Log(std::string("PathIsUNCA(") + (path ? path : "NULL") + ")");
    if (!path || path[0] != '\\' || path[1] != '\\') return FALSE;
    if (path[2] != '?') return TRUE;
    return strncmp(path, "\\\\?\\UNC\\", 8) == 0;
}

/* Writes the first count bytes of the text, and the terminator only when
 * there is room for it. */
int _vsnprintf(char *buffer, size_t count, const char *format, va_list args)
{
    va_list again;
    va_copy(again, args);
    int length = vsnprintf(NULL, 0, format, again);
    va_end(again);
    if (length < 0) return -1;
    std::string text((size_t)length + 1, '\0');
    vsnprintf(&text[0], text.size(), format, args);
    size_t written = (size_t)length < count ? (size_t)length + 1 : count;
    memcpy(buffer, text.c_str(), written);
    return (size_t)length > count ? -1 : length;
}
