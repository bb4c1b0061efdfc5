/* Bounded writes into fixed character buffers: every result is terminated. */
#ifndef COMMON_BOUNDED_H
#define COMMON_BOUNDED_H

#include <stddef.h>

/* Copies src into dst (size bytes).  Returns 1 when all of it fitted, 0 when cut. */
int CopyBounded(char *dst, size_t size, const char *src);

/* Appends src to the text in dst (size bytes).  Returns 1 when all of it fitted, 0 when cut. */
int AppendBounded(char *dst, size_t size, const char *src);

/* Formats into dst (size bytes) with the system's wvnsprintfA.  Returns 1 when all of it fitted, 0 when cut. */
int FormatBounded(char *dst, size_t size, const char *format, ...);

template <size_t N> inline int copy_bounded(char (&dst)[N], const char *src) { return CopyBounded(dst, N, src); }
template <size_t N> inline int append_bounded(char (&dst)[N], const char *src) { return AppendBounded(dst, N, src); }
#define format_bounded(dst, ...) FormatBounded((dst), sizeof(dst), __VA_ARGS__)

#endif
