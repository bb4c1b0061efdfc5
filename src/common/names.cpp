#include "common/names.h"

#include <string.h>

static char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

int StartsWithName(const char *text, const char *prefix)
{
    for (; *prefix; text++, prefix++)
        if (FoldCase(*text) != FoldCase(*prefix)) return 0;
    return 1;
}

int IsName(const char *text, const char *name)
{
    return StartsWithName(text, name) && text[strlen(name)] == '\0';
}
