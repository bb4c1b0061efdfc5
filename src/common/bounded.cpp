#include "common/bounded.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace bounded_detail {

int Copy(char *dst, size_t size, const char *src)
{
    if (size == 0) return 0;
    dst[0] = '\0';
    return Append(dst, size, src);
}

int Append(char *dst, size_t size, const char *src)
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

/* The run-time library's _vsnprintf leaves no terminator when the text fills
 * the buffer exactly, and answers -1 when it is longer. */
int Format(char *dst, size_t size, const char *format, va_list args)
{
    if (size == 0) return 0;
    int length = _vsnprintf(dst, size, format, args);
    dst[size - 1] = '\0';
    return length >= 0 && (size_t)length < size;
}

int FormatArguments(char *dst, size_t size, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int whole = Format(dst, size, format, args);
    va_end(args);
    return whole;
}

}  // namespace bounded_detail
