/* kernel32 subset for files: opening and writing them, the temp folder, the
 * local time, the command line.  Files are the host's, reached through the
 * drive mapping of HostPath. */
#include <standin.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using standin::Log;
using standin::state;

/* The standard output and the console's output buffer, as handles. */
static char g_standardOutput;
static char g_consoleOutput;

static std::string Lower(std::string text)
{
    for (char &c : text) c = (char)tolower((unsigned char)c);
    return text;
}

/* Open flags for the access asked for and what to do with an existing file or none. */
static int OpenFlags(DWORD access, DWORD disposition)
{
    bool writes = (access & (GENERIC_WRITE | FILE_APPEND_DATA)) != 0;
    int flags = writes ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY;
    if ((access & FILE_APPEND_DATA) && !(access & GENERIC_WRITE)) flags |= O_APPEND;
    switch (disposition) {
    case CREATE_NEW: return flags | O_CREAT | O_EXCL; /* also refuses a link, dangling or not */
    case CREATE_ALWAYS: return flags | O_CREAT | O_TRUNC;
    case OPEN_ALWAYS: return flags | O_CREAT;
    default: return flags;
    }
}

/* The error Windows gives for a failed open of hostPath. */
static DWORD OpenError(int error, const std::string &hostPath)
{
    if (error == EEXIST) return ERROR_FILE_EXISTS;
    if (error != ENOENT) return ERROR_ACCESS_DENIED;
    std::string folder = hostPath.substr(0, hostPath.rfind('/'));
    struct stat info;
    return (folder.empty() || stat(folder.c_str(), &info) == 0) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flags, HANDLE templateFile)
{
    (void)shareMode, (void)security, (void)flags, (void)templateFile;
    std::string name = fileName ? fileName : "";
    Log("CreateFileA(" + name + "," + std::to_string(disposition) + ")");
    if (name == "CONOUT$") {
        if (state().parentConsole) return &g_consoleOutput;
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_HANDLE_VALUE;
    }
    auto refused = state().openErrors.find(Lower(name));
    if (refused != state().openErrors.end()) {
        SetLastError(refused->second);
        return INVALID_HANDLE_VALUE;
    }
    std::string hostPath;
    if (name.empty() || !standin::HostPath(name.c_str(), &hostPath)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    bool existed = lstat(hostPath.c_str(), &info) == 0;
    /* A folder opens only with backup semantics, which the launcher never asks for. */
    if (existed && S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    int fd = open(hostPath.c_str(), OpenFlags(access, disposition) | O_CLOEXEC, 0644);
    if (fd < 0) {
        SetLastError(OpenError(errno, hostPath));
        return INVALID_HANDLE_VALUE;
    }
    bool reports = disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS;
    SetLastError(existed && reports ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    state().files.push_back(standin::FileHandle());
    state().files.back().path = name;
    state().files.back().fd = fd;
    return &state().files.back();
}

static standin::FileHandle *OpenFile(HANDLE handle)
{
    for (standin::FileHandle &file : state().files)
        if (&file == handle && !file.closed) return &file;
    return NULL;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytes, LPDWORD written, LPVOID overlapped)
{
    (void)overlapped;
    *written = 0;
    if (handle == &g_standardOutput || handle == &g_consoleOutput) {
        std::string &output = handle == &g_standardOutput ? state().standardOutput : state().consoleOutput;
        output.append((const char *)buffer, bytes);
        *written = bytes;
        return TRUE;
    }
    standin::FileHandle *file = OpenFile(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (state().writesFail) {
        SetLastError(112); /* ERROR_DISK_FULL */
        return FALSE;
    }
    ssize_t done = write(file->fd, buffer, bytes);
    if (done < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *written = (DWORD)done;
    return TRUE;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD bytes, LPDWORD read, LPVOID overlapped)
{
    (void)overlapped;
    standin::FileHandle *file = OpenFile(handle);
    *read = 0;
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ssize_t done = ::read(file->fd, buffer, bytes);
    if (done < 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *read = (DWORD)done;
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR fileName)
{
    Log(std::string("GetFileAttributesA(") + (fileName ? fileName : "NULL") + ")");
    std::string hostPath;
    struct stat info;
    if (!fileName || !standin::HostPath(fileName, &hostPath) || stat(hostPath.c_str(), &info) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

HANDLE WINAPI GetStdHandle(DWORD which)
{
    if (which != STD_OUTPUT_HANDLE || state().standardOutputType == FILE_TYPE_UNKNOWN) return NULL;
    return &g_standardOutput;
}

DWORD WINAPI GetFileType(HANDLE handle)
{
    if (handle == &g_standardOutput) return state().standardOutputType;
    if (handle == &g_consoleOutput) return FILE_TYPE_CHAR;
    return OpenFile(handle) ? FILE_TYPE_DISK : FILE_TYPE_UNKNOWN;
}

BOOL WINAPI AttachConsole(DWORD process)
{
    Log("AttachConsole(" + std::to_string((long)(LONG)process) + ")");
    return state().parentConsole ? TRUE : FALSE;
}

bool standin::CloseFileHandle(HANDLE handle, BOOL *result)
{
    for (FileHandle &file : state().files) {
        if (&file != handle) continue;
        *result = file.closed ? FALSE : TRUE;
        if (file.closed) SetLastError(ERROR_INVALID_HANDLE);
        else close(file.fd);
        file.closed = true;
        return true;
    }
    return false;
}

/* Too small a buffer gets nothing; the result is then the size needed. */
DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer)
{
    Log("GetTempPathA");
    const std::string &folder = state().tempDirectory;
    if (folder.size() + 1 > size) return (DWORD)folder.size() + 1;
    memcpy(buffer, folder.c_str(), folder.size() + 1);
    return (DWORD)folder.size();
}

void WINAPI GetLocalTime(LPSYSTEMTIME time) { *time = state().localTime; }

LPSTR WINAPI GetCommandLineA(void) { return &state().commandLine[0]; }

/* Code page 932, when the test asks for it: lead bytes 0x81 to 0x9F and 0xE0 to 0xFC. */
BOOL WINAPI IsDBCSLeadByte(BYTE byte)
{
    if (!state().doubleByteCodePage) return FALSE;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

/* Byte by byte: exact for ASCII; other bytes become the Latin-1 character of
 * their value.  With bytes -1 the terminator counts; size 0 asks for the
 * characters needed; too small a buffer fails (MultiByteToWideChar). */
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR wide, int size)
{
    (void)codePage, (void)flags;
    if (!text || bytes == 0 || size < 0 || (size > 0 && !wide)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int count = bytes < 0 ? (int)strlen(text) + 1 : bytes;
    if (size == 0) return count;
    if (size < count) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < count; i++) wide[i] = (WCHAR)(unsigned char)text[i];
    return count;
}

/* Fills found with the host file name of folder: its name, size and kind. */
static bool DescribeFile(const std::string &folder, const std::string &name, WIN32_FIND_DATAA *found)
{
    struct stat info;
    if (stat((folder + "/" + name).c_str(), &info) != 0 || name.size() >= sizeof found->cFileName) return false;
    memset(found, 0, sizeof *found);
    found->dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    found->nFileSizeLow = (DWORD)info.st_size;
    found->nFileSizeHigh = (DWORD)((uint64_t)info.st_size >> 32);
    memcpy(found->cFileName, name.c_str(), name.size() + 1);
    return true;
}

/* A pattern's '*' and '?' as Windows matches long names, without case. */
static bool Matches(const char *pattern, const char *name)
{
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') return Matches(pattern + 1, name) || (*name && Matches(pattern, name + 1));
    if (*name == '\0') return false;
    if (*pattern != '?' && tolower((unsigned char)*pattern) != tolower((unsigned char)*name)) return false;
    return Matches(pattern + 1, name + 1);
}

/* A search: the names still to give, sorted, of a folder. */
struct Search {
    std::string folder;
    std::vector<std::string> names;
    size_t next = 0;
    bool closed = false;
};
static std::deque<Search> g_searches;

static bool NextFound(Search *search, WIN32_FIND_DATAA *found)
{
    while (search->next < search->names.size())
        if (DescribeFile(search->folder, search->names[search->next++], found)) return true;
    return false;
}

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA found)
{
    std::string text = pattern ? pattern : "";
    Log("FindFirstFileA(" + text + ")");
    size_t slash = text.rfind('\\');
    std::string folder;
    if (slash == std::string::npos || !standin::HostPath(text.substr(0, slash).c_str(), &folder)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    DIR *dir = opendir(folder.c_str());
    if (!dir) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    g_searches.push_back(Search());
    Search &search = g_searches.back();
    search.folder = folder;
    std::string mask = text.substr(slash + 1);
    while (struct dirent *entry = readdir(dir))
        if (Matches(mask.c_str(), entry->d_name)) search.names.push_back(entry->d_name);
    closedir(dir);
    std::sort(search.names.begin(), search.names.end());
    if (!NextFound(&search, found)) {
        search.closed = true;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return &search;
}

static Search *OpenSearch(HANDLE handle)
{
    for (Search &search : g_searches)
        if (&search == handle && !search.closed) return &search;
    return NULL;
}

BOOL WINAPI FindNextFileA(HANDLE handle, LPWIN32_FIND_DATAA found)
{
    Search *search = OpenSearch(handle);
    if (!search) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (NextFound(search, found)) return TRUE;
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}

BOOL WINAPI FindClose(HANDLE handle)
{
    Search *search = OpenSearch(handle);
    if (!search) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    search->closed = true;
    return TRUE;
}

BOOL WINAPI GetFileAttributesExA(LPCSTR fileName, GET_FILEEX_INFO_LEVELS level, LPVOID information)
{
    std::string hostPath;
    WIN32_FIND_DATAA found;
    size_t slash;
    if (level != GetFileExInfoStandard || !fileName || !standin::HostPath(fileName, &hostPath) ||
        (slash = hostPath.rfind('/')) == std::string::npos ||
        !DescribeFile(hostPath.substr(0, slash), hostPath.substr(slash + 1), &found)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    WIN32_FILE_ATTRIBUTE_DATA *data = (WIN32_FILE_ATTRIBUTE_DATA *)information;
    memset(data, 0, sizeof *data);
    data->dwFileAttributes = found.dwFileAttributes;
    data->nFileSizeHigh = found.nFileSizeHigh;
    data->nFileSizeLow = found.nFileSizeLow;
    return TRUE;
}
