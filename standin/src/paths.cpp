/* shlwapi subset: path tests and bounded formatting. */
#include <shlwapi.h>
#include <standin.h>

#include <stdio.h>
#include <sys/stat.h>

/* A file or a folder counts as existing. */
BOOL WINAPI PathFileExistsA(LPCSTR path)
{
    standin::Log(std::string("PathFileExistsA(") + (path ? path : "NULL") + ")");
    std::string hostPath;
    struct stat info;
    if (!path || !standin::HostPath(path, &hostPath)) return FALSE;
    return stat(hostPath.c_str(), &info) == 0;
}

BOOL WINAPI PathIsUNCA(LPCSTR path)
{
    standin::Log(std::string("PathIsUNCA(") + (path ? path : "NULL") + ")");
    return path && path[0] == '\\' && path[1] == '\\';
}

/* Writes at most size - 1 bytes and a terminator; -1 when the text was cut. */
int WINAPI wvnsprintfA(LPSTR buffer, int size, LPCSTR format, va_list args)
{
    if (size <= 0) return -1;
    int length = vsnprintf(buffer, (size_t)size, format, args);
    return (length < 0 || length >= size) ? -1 : length;
}
