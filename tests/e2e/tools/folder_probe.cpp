/* Reports the current folder as a program of this bitness sees it:
 *
 *   folder_probe.exe
 *
 * Prints {"event":"folder","acp":N,"returned":R,"bytes":B,"characters":C,"hex":"..."}:
 * the ANSI code page, what GetCurrentDirectoryA returned, the length of its
 * text in bytes and in hex, and the length of the GetCurrentDirectoryW text in
 * UTF-16 units, so a case can tell double-byte names from single-byte ones. */
#include <string.h>
#include <windows.h>

#include "common/json_line.h"

static void HexOf(const char *text, char *hex, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    size_t at = 0;
    for (const unsigned char *byte = (const unsigned char *)text; *byte && at + 2 < size; ++byte) {
        hex[at++] = digits[*byte >> 4];
        hex[at++] = digits[*byte & 0x0F];
    }
    hex[at] = '\0';
}

int main(void)
{
    static char folder[MAX_PATH];
    static WCHAR wideFolder[MAX_PATH];
    static char hex[2 * MAX_PATH + 1];
    DWORD returned = GetCurrentDirectoryA(sizeof folder, folder);
    DWORD characters = GetCurrentDirectoryW(MAX_PATH, wideFolder);
    HexOf(folder, hex, sizeof hex);
    static JsonLine line;
    JsonBegin(&line);
    JsonString(&line, "event", "folder");
    JsonNumber(&line, "acp", GetACP());
    JsonNumber(&line, "returned", returned);
    JsonNumber(&line, "bytes", (long long)strlen(folder));
    JsonNumber(&line, "characters", characters);
    JsonString(&line, "hex", hex);
    JsonEnd(&line);
    return 0;
}
