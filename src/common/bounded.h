/* Bounded writes into fixed character arrays.  The size comes from the array
 * itself, every result is terminated, and each returns 1 when all of the text
 * fitted, 0 when it was cut. */
#ifndef COMMON_BOUNDED_H
#define COMMON_BOUNDED_H

#include <stdarg.h>
#include <stddef.h>

/* The workers behind the helpers below; callers use the helpers. */
namespace bounded_detail {
int Copy(char *dst, size_t size, const char *src);
int Append(char *dst, size_t size, const char *src);
int Format(char *dst, size_t size, const char *format, va_list args);
int FormatArguments(char *dst, size_t size, const char *format, ...);
}  // namespace bounded_detail

/* Copies src into dst. */
template <size_t N> inline int copy_bounded(char (&dst)[N], const char *src)
{
    return bounded_detail::Copy(dst, N, src);
}

/* Appends src to the text in dst. */
template <size_t N> inline int append_bounded(char (&dst)[N], const char *src)
{
    return bounded_detail::Append(dst, N, src);
}

/* Formats into dst with the run-time library's printf conventions. */
template <size_t N> inline int vformat_bounded(char (&dst)[N], const char *format, va_list args)
{
    return bounded_detail::Format(dst, N, format, args);
}

/* The same, with the arguments given in place (one worker serves every size). */
template <size_t N, typename... Arguments>
inline int format_bounded(char (&dst)[N], const char *format, Arguments... arguments)
{
    return bounded_detail::FormatArguments(dst, N, format, arguments...);
}

#endif
