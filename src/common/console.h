/* The console a report goes to: the package check's, to the console it was
 * started from (or the file or pipe its output goes to), and to the log. */
#ifndef COMMON_CONSOLE_H
#define COMMON_CONSOLE_H

#include <stdarg.h>

/* Finds where the report goes: the standard output the check was given when
 * that is a file or a pipe, else the console of the program that started it
 * (a GUI program has none of its own; under Wine started from a terminal, the
 * terminal).  Without either, the report goes to the log only. */
void OpenConsoleReport(void);

/* Writes one formatted line to the console and to the log. */
void ReportLine(const char *format, ...);
void ReportLineV(const char *format, va_list args);

/* Writes text and a line end to the console only. */
void WriteConsoleText(const char *text);

#endif
