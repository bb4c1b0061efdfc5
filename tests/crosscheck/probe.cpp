/*
 * Cross-check probe: the profile and path functions the launcher relies on,
 * run over a table of cases.  Plain Win32 and C stdio only, so the same source
 * builds against the host stand-in and for Windows.
 *
 * Output: one line per case, "<id> <mark> <what> -> <result>".  The mark is
 * "=" for a case both builds must answer alike and "~" for a case where Wine
 * is known to differ from Windows; such a case is followed by the line
 * "<id> windows -> <result>" with the answer Windows is documented to give,
 * which run.py holds the stand-in to instead of Wine's.
 */
#include <windows.h>
#include <shlwapi.h>
#include <stdio.h>
#include <string.h>

#include "probe.h"

namespace {

/* In case file contents, this byte stands for a 300-byte value "ABC...Z" repeated. */
const char kLongValue = '\x01';
const int kLongLength = 300;

/* Every case's buffer sits in front of this many canary bytes. */
const int kCanaryLength = 16;
const unsigned char kCanary = 0xA5;
const int kStoreSize = 512;

/* The last field of every case: COMPARED, or the result Windows gives where
 * Wine is known to answer otherwise (with the source cited beside the case). */
const char *const COMPARED = NULL;

struct StringCase {
    const char *id;
    const char *what;
    const char *content;  /* NULL: the file does not exist */
    const char *section;
    const char *key;
    const char *defaultValue;
    DWORD size;
    const char *windowsResult;
};

struct IntCase {
    const char *id;
    const char *what;
    const char *content;  /* NULL: the file does not exist */
    const char *key;      /* looked up in section [N] */
    INT defaultValue;
    const char *windowsResult;
};

/* Where a PathFileExistsA name is taken from. */
enum PathBase {
    AS_GIVEN,     /* the name itself (relative, or absolute as written) */
    UNDER_CWD,    /* current directory + "\" + name */
    CWD_ITSELF,   /* the current directory, name ignored */
    CWD_UPPER,    /* current directory in upper case + "\" + name */
    NULL_PATH     /* a NULL pointer */
};

struct ExistsCase {
    const char *id;
    const char *what;
    PathBase base;
    const char *name;
    const char *windowsResult;
};

struct UncCase {
    const char *id;
    const char *what;
    const char *path;  /* NULL: a NULL pointer */
    const char *windowsResult;
};

/* ---- GetPrivateProfileStringA ------------------------------------------ */

const StringCase kStringCases[] = {
    /* Line ends and file shape */
    {"S01", "plain value, CRLF", "[MODEL]\r\nMODEL=VQ-2200\r\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S02", "LF line ends", "[MODEL]\nMODEL=VQ-2200\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S03", "no final newline", "[MODEL]\r\nMODEL=VQ-2200", "MODEL", "MODEL", "unknown", 255, COMPARED},
    /* Windows ends lines at a lone CR too (Wine's dlls/kernel32/tests/profile.c
     * runs its GetPrivateProfileString tests on a "CR only" file). */
    {"S04", "CR-only line ends", "[MODEL]\rMODEL=VQ-2200\r", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S05", "blank lines before and between", "\r\n\r\n[MODEL]\r\n\r\n\r\nMODEL=VQ\r\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S06", "key in the second of two sections", "[A]\nX=1\n[MODEL]\nMODEL=two\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S07", "Ctrl-Z after the value", "[MODEL]\nMODEL=VQ\x1a\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    /* Wine skips a UTF-8 byte order mark; Windows does not, so a section on
     * the mark's line cannot be read (tested on Windows 10 21H1 in the answer
     * to the Stack Overflow question "How do WritePrivateProfileStringA() and
     * Unicode go together?").  The stand-in follows Windows. */
    {"S08", "UTF-8 byte order mark", "\xEF\xBB\xBF[MODEL]\r\nMODEL=VQ\r\n", "MODEL", "MODEL", "unknown", 255,
     "ret=7 text=\"unknown\" term=yes canary=intact"},
    {"S09", "UTF-8 byte order mark on a line of its own", "\xEF\xBB\xBF\r\n[MODEL]\r\nMODEL=VQ\r\n", "MODEL", "MODEL", "unknown", 255, COMPARED},

    /* Quotes */
    {"S10", "double quotes dropped", "[MODEL]\nMODEL=\"VQ 2200\"\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S11", "single quotes dropped", "[MODEL]\nMODEL='VQ 2200'\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S12", "unmatched opening quote kept", "[MODEL]\nMODEL=\"VQ 2200\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S13", "unmatched closing quote kept", "[MODEL]\nMODEL=VQ 2200\"\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S14", "mixed quote kinds kept", "[MODEL]\nMODEL=\"VQ'\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S15", "value is one quote", "[MODEL]\nMODEL=\"\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S16", "empty double quotes", "[MODEL]\nMODEL=\"\"\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S17", "empty single quotes", "[MODEL]\nMODEL=''\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S18", "spaces inside quotes kept", "[MODEL]\nMODEL=\" VQ \"\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S19", "blanks outside quotes", "[MODEL]\nMODEL= \t\"VQ\" \t\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S20", "quote inside quoted value", "[MODEL]\nMODEL=\"a\"b\"\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S21", "quoted, closing quote fits (size 8)", "[MODEL]\nMODEL=\"ABCDEF\"\n", "MODEL", "MODEL", "unknown", 8, COMPARED},
    {"S22", "quoted, closing quote at the edge (size 7)", "[MODEL]\nMODEL=\"ABCDEF\"\n", "MODEL", "MODEL", "unknown", 7, COMPARED},
    {"S23", "quoted, closing quote cut (size 6)", "[MODEL]\nMODEL=\"ABCDEF\"\n", "MODEL", "MODEL", "unknown", 6, COMPARED},
    {"S24", "quoted, cut short (size 3)", "[MODEL]\nMODEL=\"ABCDEF\"\n", "MODEL", "MODEL", "unknown", 3, COMPARED},
    {"S25", "quoted one letter (size 2)", "[MODEL]\nMODEL=\"A\"\n", "MODEL", "MODEL", "unknown", 2, COMPARED},

    /* Blanks and case in names */
    {"S30", "blanks around key, = and value", "[MODEL]\n \t MODEL \t = \t VQ 2200 \t \n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S31", "blanks around the section line", "  \t[MODEL]  \t\nMODEL=VQ\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    /* Windows trims the name between the brackets (test_profile_sections_names
     * in Wine's dlls/kernel32/tests/profile.c: "[ section1 ]" is "section1"). */
    {"S32", "spaces inside brackets, asked plain", "[ MODEL ]\nMODEL=VQ\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S33", "spaces inside brackets, asked with spaces", "[ MODEL ]\nMODEL=VQ\n", " MODEL ", "MODEL", "unknown", 255, COMPARED},
    {"S34", "section asked with blanks", "[MODEL]\nMODEL=VQ\n", " \tMODEL ", "MODEL", "unknown", 255, COMPARED},
    {"S35", "key asked with blanks", "[MODEL]\nMODEL=VQ\n", "MODEL", " MODEL\t", "unknown", 255, COMPARED},
    {"S36", "names in other case", "[model]\nmodel=VQ\n", "MODEL", "Model", "unknown", 255, COMPARED},
    {"S37", "value case kept", "[MODEL]\nMODEL=MiXeD cAsE\n", "model", "MODEL", "unknown", 255, COMPARED},
    {"S38", "tab inside value kept", "[MODEL]\nMODEL=a\tb\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S39", "space inside key name", "[MODEL]\nMY KEY=VQ\n", "MODEL", "MY KEY", "unknown", 255, COMPARED},

    /* Comments, duplicates, lines without "=" */
    {"S40", "commented line before the key", "[MODEL]\n;MODEL=old\nMODEL=new\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S41", "key only in a comment", "[MODEL]\n;MODEL=old\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S42", "indented comment", "[MODEL]\n  ; MODEL=old\nMODEL=new\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S43", "duplicate keys: first wins", "[MODEL]\nMODEL=first\nMODEL=second\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S44", "duplicate sections: first wins", "[MODEL]\nMODEL=first\n[MODEL]\nMODEL=second\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S45", "key only in the second section of a name", "[MODEL]\nOTHER=1\n[MODEL]\nMODEL=second\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S46", "key without =", "[MODEL]\nMODEL\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S47", "KEY= gives empty, not the default", "[MODEL]\nMODEL=\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S48", "KEY= then blanks", "[MODEL]\nMODEL= \t \n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S49", "values with = inside", "[MODEL]\nMODEL=a=b = c\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S50", "unclosed section header", "[MODEL\nMODEL=VQ\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S51", "text after the closing bracket", "[MODEL] trailing\nMODEL=VQ\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S52", "keys before any section", "MODEL=VQ\n[OTHER]\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S53", "keys before any section, asked with empty section", "MODEL=VQ\n[OTHER]\n", "", "MODEL", "unknown", 255, COMPARED},
    {"S54", "empty key name asked", "[MODEL]\n=VQ\n", "MODEL", "", "unknown", 255, COMPARED},
    {"S55", "empty section name in brackets", "[]\nMODEL=VQ\n", "", "MODEL", "unknown", 255, COMPARED},

    /* Missing things and the default */
    {"S60", "missing section", "[OTHER]\nMODEL=VQ\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S61", "missing key", "[MODEL]\nOTHER=VQ\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S62", "missing file", NULL, "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S63", "empty file", "", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S64", "default with trailing spaces, missing key", "[MODEL]\n", "MODEL", "MODEL", "unknown   ", 255, COMPARED},
    {"S65", "default with trailing spaces, missing file", NULL, "MODEL", "MODEL", "unknown   ", 255, COMPARED},
    {"S66", "default with leading spaces", "[MODEL]\n", "MODEL", "MODEL", "  unknown", 255, COMPARED},
    {"S67", "default in quotes, missing key", "[MODEL]\n", "MODEL", "MODEL", "\"unknown\"", 255, COMPARED},
    {"S68", "default in quotes, missing file", NULL, "MODEL", "MODEL", "\"unknown\"", 255, COMPARED},
    {"S69", "default one space", "[MODEL]\n", "MODEL", "MODEL", " ", 255, COMPARED},
    {"S70", "default NULL", "[MODEL]\n", "MODEL", "MODEL", NULL, 255, COMPARED},
    {"S71", "default cut (size 4)", "[MODEL]\n", "MODEL", "MODEL", "unknown", 4, COMPARED},
    {"S72", "default cut, missing file (size 4)", NULL, "MODEL", "MODEL", "unknown", 4, COMPARED},
    {"S73", "default with tab at the end", "[MODEL]\n", "MODEL", "MODEL", "unknown\t", 255, COMPARED},
    {"S74", "quoted default cut (size 5)", "[MODEL]\n", "MODEL", "MODEL", "\"unknown\"", 5, COMPARED},
    {"S75", "unmatched quote in default", "[MODEL]\n", "MODEL", "MODEL", "\"unknown", 255, COMPARED},

    /* Sizes and long values */
    {"S80", "300-byte value, size 255", "[MODEL]\nMODEL=\x01\n", "MODEL", "MODEL", "unknown", 255, COMPARED},
    {"S81", "300-byte value, size 301", "[MODEL]\nMODEL=\x01\n", "MODEL", "MODEL", "unknown", 301, COMPARED},
    {"S82", "300-byte value, size 300", "[MODEL]\nMODEL=\x01\n", "MODEL", "MODEL", "unknown", 300, COMPARED},
    {"S83", "size 1", "[MODEL]\nMODEL=VQ-2200\n", "MODEL", "MODEL", "unknown", 1, COMPARED},
    {"S84", "size 2", "[MODEL]\nMODEL=VQ-2200\n", "MODEL", "MODEL", "unknown", 2, COMPARED},
    {"S85", "size 0 writes nothing", "[MODEL]\nMODEL=VQ-2200\n", "MODEL", "MODEL", "unknown", 0, COMPARED},
    {"S86", "value exactly size - 1", "[MODEL]\nMODEL=ABCD\n", "MODEL", "MODEL", "unknown", 5, COMPARED},
    /* No key: the section's key names, each terminated, the list cut to size - 2 when it does not fit. */
    {"S87", "key names", "[L]\nFL0=a\nFL7=b\n[M]\nX=1\n", "L", NULL, "", 255, COMPARED},
    {"S88", "key names cut", "[L]\nFL0=a\nFL7=b\n", "L", NULL, "", 6, COMPARED},
    {"S89", "key names of a missing section", "[L]\nFL0=a\n", "Q", NULL, "", 255, COMPARED},
};

/* ---- GetPrivateProfileIntA (section [N]) --------------------------------- */

const IntCase kIntCases[] = {
    {"I01", "plain", "[N]\nK=12\n", "K", 7, COMPARED},
    {"I02", "plus sign", "[N]\nK=+12\n", "K", 7, COMPARED},
    {"I03", "minus sign", "[N]\nK=-12\n", "K", 7, COMPARED},
    {"I04", "leading digits", "[N]\nK=12abc\n", "K", 7, COMPARED},
    {"I05", "leading blanks inside quotes", "[N]\nK=\" \t12\"\n", "K", 7, COMPARED},
    {"I06", "not a number", "[N]\nK=abc\n", "K", 7, COMPARED},
    {"I07", "hexadecimal 0x1F", "[N]\nK=0x1F\n", "K", 7, COMPARED},
    {"I08", "hexadecimal 0X1F", "[N]\nK=0X1F\n", "K", 7, COMPARED},
    {"I09", "octal prefix 0o17", "[N]\nK=0o17\n", "K", 7, COMPARED},
    {"I10", "binary prefix 0b101", "[N]\nK=0b101\n", "K", 7, COMPARED},
    {"I11", "binary digit out of range", "[N]\nK=0b102\n", "K", 7, COMPARED},
    {"I12", "octal digit out of range", "[N]\nK=0o8\n", "K", 7, COMPARED},
    {"I13", "prefix without digits", "[N]\nK=0x\n", "K", 7, COMPARED},
    {"I14", "overflow 4294967296", "[N]\nK=4294967296\n", "K", 7, COMPARED},
    {"I15", "overflow 4294967297", "[N]\nK=4294967297\n", "K", 7, COMPARED},
    {"I16", "overflow -4294967297", "[N]\nK=-4294967297\n", "K", 7, COMPARED},
    {"I17", "0xFFFFFFFF", "[N]\nK=0xFFFFFFFF\n", "K", 7, COMPARED},
    {"I18", "negative hexadecimal", "[N]\nK=-0x10\n", "K", 7, COMPARED},
    {"I19", "two signs", "[N]\nK=+-1\n", "K", 7, COMPARED},
    {"I20", "sign then blank", "[N]\nK=- 5\n", "K", 7, COMPARED},
    {"I21", "digits split by a blank", "[N]\nK=1 2\n", "K", 7, COMPARED},
    {"I22", "quoted number", "[N]\nK=\"42\"\n", "K", 7, COMPARED},
    {"I23", "empty value: the default", "[N]\nK=\n", "K", 7, COMPARED},
    {"I24", "empty value, negative default", "[N]\nK=\n", "K", -5, COMPARED},
    {"I25", "missing key: the default", "[N]\nX=1\n", "K", 7, COMPARED},
    {"I26", "missing key, negative default", "[N]\nX=1\n", "K", -1, COMPARED},
    {"I27", "missing file, negative default", NULL, "K", -7, COMPARED},
    {"I28", "key without =", "[N]\nK\n", "K", 9, COMPARED},
    {"I29", "digits beyond 29 characters", "[N]\nK=000000000000000000000000000001234\n", "K", 7, COMPARED},
    {"I30", "empty quotes", "[N]\nK=\"\"\n", "K", 7, COMPARED},
};

/* ---- PathFileExistsA (the probe writes cc_exists.ini first) ------------- */

const ExistsCase kExistsCases[] = {
    {"E01", "file, full path", UNDER_CWD, "cc_exists.ini", COMPARED},
    {"E02", "file, relative name", AS_GIVEN, "cc_exists.ini", COMPARED},
    {"E03", "file, .\\ name", AS_GIVEN, ".\\cc_exists.ini", COMPARED},
    {"E04", "file name in other case", AS_GIVEN, "CC_Exists.INI", COMPARED},
    {"E05", "full path in upper case", CWD_UPPER, "CC_EXISTS.INI", COMPARED},
    {"E06", "forward slashes", AS_GIVEN, "./cc_exists.ini", COMPARED},
    {"E07", "through a missing folder and ..", AS_GIVEN, "nofolder\\..\\cc_exists.ini", COMPARED},
    {"E08", "folder, full path", CWD_ITSELF, "", COMPARED},
    {"E09", "folder with trailing backslash", UNDER_CWD, "", COMPARED},
    {"E10", "parent folder, relative", AS_GIVEN, "..", COMPARED},
    {"E11", "parent folder with trailing backslash", AS_GIVEN, "..\\", COMPARED},
    {"E12", "drive root", AS_GIVEN, "C:\\", COMPARED},
    {"E13", "root of the current drive", AS_GIVEN, "\\", COMPARED},
    {"E14", "missing file", UNDER_CWD, "cc_missing.ini", COMPARED},
    {"E15", "missing file, relative", AS_GIVEN, "cc_missing.ini", COMPARED},
    {"E16", "file in a missing folder", UNDER_CWD, "nofolder\\cc_exists.ini", COMPARED},
    {"E17", "file with trailing backslash", UNDER_CWD, "cc_exists.ini\\", COMPARED},
    {"E18", "file below a file", UNDER_CWD, "cc_exists.ini\\x", COMPARED},
    {"E19", "wildcard", UNDER_CWD, "cc_exists.*", COMPARED},
    {"E22", "file with a trailing dot", UNDER_CWD, "cc_exists.ini.", COMPARED},
    {"E23", "file with a trailing space", UNDER_CWD, "cc_exists.ini ", COMPARED},
    {"E24", "current folder of drive C:", AS_GIVEN, "C:", COMPARED},
    {"E20", "empty string", AS_GIVEN, "", COMPARED},
    {"E21", "NULL", NULL_PATH, "", COMPARED},
};

/* ---- PathIsUNCA ----------------------------------------------------------- */

const UncCase kUncCases[] = {
    {"U01", "server and share", "\\\\server\\share", COMPARED},
    {"U02", "server only", "\\\\server", COMPARED},
    {"U03", "two backslashes only", "\\\\", COMPARED},
    {"U04", "three backslashes", "\\\\\\x", COMPARED},
    {"U05", "long UNC prefix", "\\\\?\\UNC\\server\\share", COMPARED},
    /* Wine takes any name starting with two backslashes for UNC; Windows does
     * not take "\\?\c:\path1" (java-native-access/jna, ShlwapiTest.java,
     * testPathIsUNC, run against the real shlwapi).  The stand-in follows Windows. */
    {"U06", "long drive path", "\\\\?\\C:\\x", "FALSE"},
    {"U07", "long UNC prefix only", "\\\\?\\UNC\\", COMPARED},
    {"U08", "device path", "\\\\.\\pipe\\x", COMPARED},
    {"U09", "drive path", "C:\\x", COMPARED},
    {"U10", "rooted path", "\\x", COMPARED},
    {"U11", "relative path", "x\\y", COMPARED},
    {"U12", "empty string", "", COMPARED},
    {"U13", "forward slashes", "//server/share", COMPARED},
    {"U14", "mixed slashes", "\\/server", COMPARED},
    {"U15", "NULL", NULL, COMPARED},
};

/* ---- Output helpers -------------------------------------------------------- */

/* Appends one byte to out (size bytes, kept terminated); drops it when full. */
void PutChar(char *out, size_t size, size_t *used, char c)
{
    if (*used + 1 >= size) return;
    out[(*used)++] = c;
    out[*used] = '\0';
}

void PutText(char *out, size_t size, size_t *used, const char *text)
{
    for (; *text; ++text) PutChar(out, size, used, *text);
}

/* Writes length bytes of text into out in double quotes, C-escaped, so that
 * blanks, quotes and control bytes are visible and the line stays one line. */
void Escape(char *out, size_t size, const char *text, size_t length)
{
    static const char hex[] = "0123456789ABCDEF";
    size_t used = 0;
    out[0] = '\0';
    PutChar(out, size, &used, '"');
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (c == '"' || c == '\\') {
            PutChar(out, size, &used, '\\');
            PutChar(out, size, &used, (char)c);
        } else if (c == '\t') {
            PutText(out, size, &used, "\\t");
        } else if (c < 0x20 || c >= 0x7F) {
            PutText(out, size, &used, "\\x");
            PutChar(out, size, &used, hex[c >> 4]);
            PutChar(out, size, &used, hex[c & 15]);
        } else {
            PutChar(out, size, &used, (char)c);
        }
    }
    PutChar(out, size, &used, '"');
}

void EscapeText(char *out, size_t size, const char *text)
{
    if (text) Escape(out, size, text, strlen(text));
    else snprintf(out, size, "NULL");
}

void PrintCase(const char *id, const char *windowsResult, const char *what, const char *result)
{
    printf("%s %c %s -> %s\n", id, windowsResult ? '~' : '=', what, result);
    if (windowsResult) printf("%s windows -> %s\n", id, windowsResult);
}

/* ---- Case files ------------------------------------------------------------ */

/* Expands the long-value marker into out (size bytes, terminated); false when it does not fit. */
bool ExpandContent(const char *content, char *out, size_t size)
{
    size_t used = 0;
    for (const char *p = content; *p; ++p) {
        int count = (*p == kLongValue) ? kLongLength : 1;
        for (int i = 0; i < count; ++i) {
            if (used + 1 >= size) return false;
            out[used++] = (*p == kLongValue) ? (char)('A' + i % 26) : *p;
        }
    }
    out[used] = '\0';
    return true;
}

/* Writes content to name in the current directory, byte for byte. */
bool WriteCaseFile(const char *name, const char *content)
{
    char expanded[2048];
    if (!ExpandContent(content, expanded, sizeof expanded)) return false;
    FILE *file = fopen(name, "wb");
    if (!file) return false;
    size_t length = strlen(expanded);
    bool ok = fwrite(expanded, 1, length, file) == length;
    return fclose(file) == 0 && ok;
}

/* Full Windows path of name in the current directory (a bare name would be
 * looked for in the Windows folder). */
bool FullPath(const char *name, char *out, DWORD size)
{
    DWORD length = GetCurrentDirectoryA(size, out);
    if (length == 0 || length >= size) return false;
    return snprintf(out + length, size - length, "\\%s", name) < (int)(size - length);
}

/* Each case gets its own file: the system may cache a profile file it has read. */
bool PrepareCaseFile(const char *id, const char *content, char *path, DWORD size)
{
    char name[64];
    snprintf(name, sizeof name, "cc_%s.ini", content ? id : "missing");
    if (content && !WriteCaseFile(name, content)) return false;
    return FullPath(name, path, size);
}

/* ---- Runners ---------------------------------------------------------------- */

bool CanaryIntact(const unsigned char *store, DWORD size)
{
    for (int i = 0; i < kCanaryLength; ++i)
        if (store[size + i] != kCanary) return false;
    return true;
}

/* Describes a buffer the call has filled: text up to its terminator, or
 * everything the call was allowed to write when there is none. */
void DescribeBuffer(const char *store, DWORD size, DWORD returned, char *out, size_t outSize)
{
    const char *end = size ? (const char *)memchr(store, '\0', size) : NULL;
    size_t textLength = end ? (size_t)(end - store) : size;
    char text[1024];
    Escape(text, sizeof text, store, textLength);
    const char *terminator = size == 0 ? "n/a" : (returned < size && store[returned] == '\0') ? "yes" : "no";
    snprintf(out, outSize, "ret=%lu text=%s term=%s canary=%s", (unsigned long)returned, text,
             terminator, CanaryIntact((const unsigned char *)store, size) ? "intact" : "BROKEN");
}

void RunStringCase(const StringCase &c)
{
    char path[MAX_PATH], result[1200], what[512], def[64], sec[64], key[64];
    if (!PrepareCaseFile(c.id, c.content, path, sizeof path)) {
        PrintCase(c.id, c.windowsResult, c.what, "setup failed");
        return;
    }
    char store[kStoreSize];
    memset(store, kCanary, sizeof store);
    DWORD returned = GetPrivateProfileStringA(c.section, c.key, c.defaultValue, store, c.size, path);
    DescribeBuffer(store, c.size, returned, result, sizeof result);
    EscapeText(sec, sizeof sec, c.section);
    EscapeText(key, sizeof key, c.key);
    EscapeText(def, sizeof def, c.defaultValue);
    snprintf(what, sizeof what, "%s [%s %s default %s size %lu]", c.what, sec, key, def,
             (unsigned long)c.size);
    PrintCase(c.id, c.windowsResult, what, result);
}

void RunIntCase(const IntCase &c)
{
    char path[MAX_PATH], result[64], what[256];
    if (!PrepareCaseFile(c.id, c.content, path, sizeof path)) {
        PrintCase(c.id, c.windowsResult, c.what, "setup failed");
        return;
    }
    UINT value = GetPrivateProfileIntA("N", c.key, c.defaultValue, path);
    snprintf(result, sizeof result, "%u (%d)", value, (int)value);
    snprintf(what, sizeof what, "%s [default %d]", c.what, c.defaultValue);
    PrintCase(c.id, c.windowsResult, what, result);
}

/* Upper-cases text in place (ASCII letters only). */
void UpperCase(char *text)
{
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z') *text = (char)(*text - 'a' + 'A');
}

/* The path a case names; false when it cannot be built. */
bool ExistsCasePath(const ExistsCase &c, char *out, DWORD size)
{
    switch (c.base) {
    case AS_GIVEN: return snprintf(out, size, "%s", c.name) < (int)size;
    case UNDER_CWD: return FullPath(c.name, out, size);
    case CWD_UPPER:
        if (!FullPath(c.name, out, size)) return false;
        UpperCase(out);
        return true;
    case CWD_ITSELF: {
        DWORD length = GetCurrentDirectoryA(size, out);
        return length != 0 && length < size;
    }
    case NULL_PATH: return true;
    }
    return false;
}

void RunExistsCase(const ExistsCase &c)
{
    char path[MAX_PATH], what[256], name[64];
    if (!ExistsCasePath(c, path, sizeof path)) {
        PrintCase(c.id, c.windowsResult, c.what, "setup failed");
        return;
    }
    BOOL exists = PathFileExistsA(c.base == NULL_PATH ? NULL : path);
    EscapeText(name, sizeof name, c.base == NULL_PATH ? NULL : c.name);
    snprintf(what, sizeof what, "%s [%s]", c.what, name);
    PrintCase(c.id, c.windowsResult, what, exists ? "TRUE" : "FALSE");
}

void RunUncCase(const UncCase &c)
{
    char what[256], path[64];
    EscapeText(path, sizeof path, c.path);
    snprintf(what, sizeof what, "%s [%s]", c.what, path);
    PrintCase(c.id, c.windowsResult, what, PathIsUNCA(c.path) ? "TRUE" : "FALSE");
}

}  // namespace

int RunProbe(void)
{
    if (!WriteCaseFile("cc_exists.ini", "[N]\nK=1\n")) {
        fprintf(stderr, "probe: cannot write cc_exists.ini in the current directory\n");
        return 2;
    }
    for (const StringCase &c : kStringCases) RunStringCase(c);
    for (const IntCase &c : kIntCases) RunIntCase(c);
    for (const ExistsCase &c : kExistsCases) RunExistsCase(c);
    for (const UncCase &c : kUncCases) RunUncCase(c);
    return fflush(stdout) == 0 ? 0 : 1;
}
