#include "common/json_line.h"

#include <stdio.h>
#include <string.h>

#include "common/text.h"

static void Put(JsonLine *line, const char *text)
{
    if (!append_bounded(line->text, text)) line->cut = 1;
}

/* Writes value as a quoted JSON string with every special byte escaped. */
static void PutQuoted(JsonLine *line, const char *value)
{
    Put(line, "\"");
    for (const unsigned char *p = (const unsigned char *)value; *p; ++p) {
        char piece[8];
        if (*p == '"') copy_bounded(piece, "\\\"");
        else if (*p == '\\') copy_bounded(piece, "\\\\");
        else if (*p == '\n') copy_bounded(piece, "\\n");
        else if (*p == '\r') copy_bounded(piece, "\\r");
        else if (*p == '\t') copy_bounded(piece, "\\t");
        else if (*p < 0x20 || *p > 0x7E) snprintf(piece, sizeof piece, "\\u%04x", (unsigned)*p);
        else {
            piece[0] = (char)*p;
            piece[1] = '\0';
        }
        Put(line, piece);
    }
    Put(line, "\"");
}

/* Writes the separator and, outside arrays, the key. */
static void PutKey(JsonLine *line, const char *key)
{
    if (line->needsComma) Put(line, ",");
    line->needsComma = 1;
    if (key) {
        PutQuoted(line, key);
        Put(line, ":");
    }
}

void JsonBegin(JsonLine *line)
{
    line->text[0] = '\0';
    line->needsComma = 0;
    line->cut = 0;
    Put(line, "{");
}

void JsonString(JsonLine *line, const char *key, const char *value)
{
    PutKey(line, key);
    PutQuoted(line, value ? value : "");
}

void JsonNumber(JsonLine *line, const char *key, long long value)
{
    char number[32];
    snprintf(number, sizeof number, "%lld", value);
    PutKey(line, key);
    Put(line, number);
}

void JsonHex(JsonLine *line, const char *key, unsigned long long value)
{
    char number[32];
    snprintf(number, sizeof number, "\"0x%llx\"", value);
    PutKey(line, key);
    Put(line, number);
}

void JsonBool(JsonLine *line, const char *key, int value)
{
    PutKey(line, key);
    Put(line, value ? "true" : "false");
}

/* Opens a nested array or object with the given bracket; its first member takes no comma. */
static void OpenNested(JsonLine *line, const char *key, const char *bracket)
{
    PutKey(line, key);
    Put(line, bracket);
    line->needsComma = 0;
}

/* Closes a nested array or object; what follows it in the parent takes a comma. */
static void CloseNested(JsonLine *line, const char *bracket)
{
    Put(line, bracket);
    line->needsComma = 1;
}

void JsonOpenArray(JsonLine *line, const char *key) { OpenNested(line, key, "["); }
void JsonCloseArray(JsonLine *line) { CloseNested(line, "]"); }
void JsonOpenObject(JsonLine *line, const char *key) { OpenNested(line, key, "{"); }
void JsonCloseObject(JsonLine *line) { CloseNested(line, "}"); }

void JsonFinish(JsonLine *line)
{
    /* A cut line would not parse; say so in a line that does. */
    if (line->cut) copy_bounded(line->text, "{\"event\":\"cut\"");
    append_bounded(line->text, "}");
}

void JsonEnd(JsonLine *line)
{
    JsonFinish(line);
    fputs(line->text, stdout);
    fputs("\n", stdout);
    fflush(stdout);
}
