#include "common/text.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

int TextCopy(char *dst, size_t size, const char *src)
{
    if (size == 0) return 0;
    dst[0] = '\0';
    return TextAppend(dst, size, src);
}

int TextAppend(char *dst, size_t size, const char *src)
{
    if (size == 0) return 0;
    size_t used = strnlen(dst, size - 1);
    size_t room = size - 1 - used;
    size_t wanted = strlen(src);
    size_t taken = wanted < room ? wanted : room;
    memcpy(dst + used, src, taken);
    dst[used + taken] = '\0';
    return taken == wanted;
}

int EnvText(const char *name, char *dst, size_t size)
{
    if (size == 0) return 0;
    dst[0] = '\0';
    DWORD length = GetEnvironmentVariableA(name, dst, (DWORD)size);
    /* Zero means unset; a length not below size means it did not fit. */
    if (length == 0 || length >= size) {
        dst[0] = '\0';
        return 0;
    }
    return 1;
}

long EnvNumber(const char *name, long fallback)
{
    char text[32];
    if (!EnvText(name, text, sizeof text)) return fallback;
    char *end = NULL;
    long value = strtol(text, &end, 10);
    return (end == text || *end != '\0') ? fallback : value;
}
