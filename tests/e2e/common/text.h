/* Environment helpers for the suite's programs; bounded copies come from the
 * launcher's own common/bounded.h. */
#ifndef E2E_COMMON_TEXT_H
#define E2E_COMMON_TEXT_H

#include <stddef.h>

#include "common/bounded.h"

/* Reads environment variable name as a decimal number; fallback when unset or not a number. */
long EnvNumber(const char *name, long fallback);

/* Copies environment variable name into dst; returns 0 (dst empty) when unset. */
int EnvText(const char *name, char *dst, size_t size);

#endif
