/* Bounded text helpers for the suite's programs: every result is terminated. */
#ifndef E2E_COMMON_TEXT_H
#define E2E_COMMON_TEXT_H

#include <stddef.h>

/* Copies src into dst (size bytes), cut to fit.  Returns 1 when all of it fitted. */
int TextCopy(char *dst, size_t size, const char *src);

/* Appends src to dst (size bytes), cut to fit.  Returns 1 when all of it fitted. */
int TextAppend(char *dst, size_t size, const char *src);

/* Reads environment variable name as a decimal number; fallback when unset or not a number. */
long EnvNumber(const char *name, long fallback);

/* Copies environment variable name into dst; returns 0 (dst empty) when unset. */
int EnvText(const char *name, char *dst, size_t size);

#endif
