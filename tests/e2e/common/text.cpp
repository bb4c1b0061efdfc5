#include "common/text.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

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
