/* Names compared as Windows compares switches, keys and file names in ASCII:
 * without case, and without the user's locale (in which 'I' need not be the
 * capital of 'i'). */
#ifndef COMMON_NAMES_H
#define COMMON_NAMES_H

/* True when text starts with prefix. */
int StartsWithName(const char *text, const char *prefix);

/* True when text is name. */
int IsName(const char *text, const char *name);

#endif
