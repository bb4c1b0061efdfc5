#include "setupinfo/inf_file.h"

#include <string.h>

#include "common/bounded.h"

#define RAW_TEXT_SIZE 1024

void ReadSectionKeys(const char *path, const char *section, char (&keys)[SECTION_KEYS_SIZE])
{
    if (GetPrivateProfileStringA(section, NULL, "", keys, sizeof keys, path) == 0) keys[0] = '\0';
    keys[sizeof keys - 1] = keys[sizeof keys - 2] = '\0';
}

static int IsBlank(char c) { return c == ' ' || c == '\t'; }

void CleanInfText(char *text)
{
    size_t out = 0;
    size_t kept = 0;  /* the length up to the last character that is no trailing blank */
    int quoted = 0;
    for (const char *in = text; *in; in++) {
        if (*in == '"') {
            if (quoted && in[1] == '"') {
                text[out++] = '"';
                kept = out;
                in++;
            } else {
                quoted = !quoted;
            }
            continue;
        }
        if (!quoted && *in == ';') break;
        if (!quoted && IsBlank(*in) && out == 0) continue;
        text[out++] = *in;
        if (quoted || !IsBlank(*in)) kept = out;
    }
    text[kept] = '\0';
}

/* The [Strings] value of the token that starts after the '%' at text, when
 * a closing '%' ends it; returns the text after that '%', or NULL. */
static const char *TokenValue(const char *infPath, const char *text, char (&value)[MAX_PATH])
{
    const char *end = strchr(text, '%');
    if (!end || end == text) return NULL;
    char token[MAX_PATH];
    if ((size_t)(end - text) >= sizeof token) return NULL;
    memcpy(token, text, (size_t)(end - text));
    token[end - text] = '\0';
    char raw[RAW_TEXT_SIZE];
    if (GetPrivateProfileStringA("Strings", token, "", raw, sizeof raw, infPath) == 0) return NULL;
    CleanInfText(raw);
    copy_bounded(value, raw);
    return end + 1;
}

void ResolveInfTokens(const char *infPath, const char *text, char (&resolved)[MAX_PATH])
{
    resolved[0] = '\0';
    char piece[2] = "";
    char value[MAX_PATH];
    while (*text) {
        if (*text == '%' && text[1] == '%') {
            append_bounded(resolved, "%");
            text += 2;
            continue;
        }
        const char *after = *text == '%' ? TokenValue(infPath, text + 1, value) : NULL;
        if (after) {
            append_bounded(resolved, value);
            text = after;
            continue;
        }
        piece[0] = *text++;
        append_bounded(resolved, piece);
    }
}

int ReadInfItem(const char **list, char (&item)[MAX_PATH])
{
    if (!*list) return 0;
    const char *comma = strchr(*list, ',');
    size_t length = comma ? (size_t)(comma - *list) : strlen(*list);
    if (length >= sizeof item) length = sizeof item - 1;
    memcpy(item, *list, length);
    item[length] = '\0';
    CleanInfText(item);
    *list = comma ? comma + 1 : NULL;
    return 1;
}

void DescribeInf(const char *infPath, char (&text)[2 * MAX_PATH])
{
    char version[MAX_PATH], date[MAX_PATH], provider[MAX_PATH];
    ReadInfText(infPath, "Version", "DriverVer", version);
    ReadInfText(infPath, "Version", "Provider", provider);
    const char *list = version;
    ReadInfItem(&list, date);
    if (version[0]) format_bounded(text, "version %s of %s", list ? list : "", date);
    else copy_bounded(text, "no DriverVer");
    append_bounded(text, provider[0] ? ", provider " : ", no Provider");
    append_bounded(text, provider);
}

void ReadInfText(const char *infPath, const char *section, const char *key, char (&value)[MAX_PATH])
{
    char raw[RAW_TEXT_SIZE];
    GetPrivateProfileStringA(section, key, "", raw, sizeof raw, infPath);
    CleanInfText(raw);
    ResolveInfTokens(infPath, raw, value);
}
