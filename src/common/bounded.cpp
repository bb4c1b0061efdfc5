#include "common/bounded.h"

#include <stdarg.h>
#include <string.h>
#include <windows.h>
#include <shlwapi.h>

int CopyBounded(char *dst, size_t size, const char *src)
{
    if (size == 0) return 0;
    dst[0] = '\0';
    return AppendBounded(dst, size, src);
}

int AppendBounded(char *dst, size_t size, const char *src)
{
    if (size == 0) return 0;
    size_t used = 0;
    while (used < size - 1 && dst[used]) used++;
    size_t room = size - 1 - used;
    size_t length = strlen(src);
    size_t n = length < room ? length : room;
    memcpy(dst + used, src, n);
    dst[used + n] = '\0';
    return n == length;
}

int FormatBounded(char *dst, size_t size, const char *format, ...)
{
    if (size == 0) return 0;
    va_list args;
    va_start(args, format);
    int length = wvnsprintfA(dst, (int)size, format, args);
    va_end(args);
    dst[size - 1] = '\0';
    return length >= 0;
}
