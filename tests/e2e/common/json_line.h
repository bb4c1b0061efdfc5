/* One JSON object per output line, built in a fixed buffer; the Python side
 * parses the lines.  Bytes above 0x7F are written as \u00XX (code page 1252
 * is close enough to Latin-1 for the texts the suite compares). */
#ifndef E2E_COMMON_JSON_LINE_H
#define E2E_COMMON_JSON_LINE_H

#include <stddef.h>

struct JsonLine {
    char text[16384];
    int needsComma; /* a value was written at the current nesting level */
    int cut;        /* something did not fit: the line is marked incomplete */
};

void JsonBegin(JsonLine *line);
void JsonString(JsonLine *line, const char *key, const char *value); /* NULL writes "" */
void JsonNumber(JsonLine *line, const char *key, long long value);
void JsonHex(JsonLine *line, const char *key, unsigned long long value);
void JsonBool(JsonLine *line, const char *key, int value);

/* Arrays and nested objects: key NULL inside an array. */
void JsonOpenArray(JsonLine *line, const char *key);
void JsonCloseArray(JsonLine *line);
void JsonOpenObject(JsonLine *line, const char *key);
void JsonCloseObject(JsonLine *line);

/* Closes the object; line->text then holds the whole line, without newline. */
void JsonFinish(JsonLine *line);

/* Closes the object, writes it and a newline to stdout, and flushes. */
void JsonEnd(JsonLine *line);

#endif
