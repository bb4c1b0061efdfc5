/* The launch's log file: one line per step, each starting with the local time
 * as the system's own driver setup log writes it and the process id, in the
 * ANSI code page with CRLF line ends.  Each line is written whole as it comes, so a run that is
 * killed leaves what it did.  Without an open log every call does nothing. */
#ifndef COMMON_LAUNCH_LOG_H
#define COMMON_LAUNCH_LOG_H

#include <stdarg.h>
#include <windows.h>

#define LOG_TIME_SIZE 24         /* "yyyy/mm/dd hh:mm:ss.sss" and the terminator */
#define LOG_LINE_SIZE 1024       /* a line's bytes at most, CRLF included */
#define TEMP_LOG_NUMBERS 999     /* running numbers tried for a new log of the day */

/* Opens path to append to it, creating it when missing; never truncates.
 * Returns 1, or 0 with the system's error code left for GetLastError. */
int OpenLogFile(const char *path);

/* Creates a new log in the temp folder (GetTempPath2A's where the system has
 * it and its folder exists, else GetTempPathA's; see BuildTempLogName),
 * taking the next running number whenever a name is taken: it never opens a
 * file that already exists, so nothing planted under the name is followed.
 * Returns 1, or 0 when no log could be created. */
int CreateTempLog(void);

/* True while a log is open. */
int LogIsOpen(void);

void CloseLog(void);

/* Writes one line: the time, the process id in brackets, then the formatted
 * text (cut to a line of LOG_LINE_SIZE bytes).  A failed write is ignored. */
void LogLine(const char *format, ...);
void LogLineV(const char *format, va_list args);

/* Writes label followed by text on one line, with the line breaks of text
 * written as the two characters \n (\r likewise), but for a CR LF that ends
 * it, as the system's texts end. */
void LogText(const char *label, const char *text);

/* Writes text and CRLF to file in one write (cut to LOG_LINE_SIZE bytes in
 * all); a failed write is ignored. */
void WriteTextLine(HANDLE file, const char *text);

/* "yyyy/mm/dd hh:mm:ss.sss" */
void FormatLogTime(const SYSTEMTIME *time, char (&text)[LOG_TIME_SIZE]);

/* folder (ending in a backslash, as the temp folder is given), then the
 * brand's log name and "_yyyymmdd_nnn.log".  Returns 0 when it does not fit. */
int BuildTempLogName(const char *folder, const SYSTEMTIME *date, int number, char (&path)[MAX_PATH]);

#endif
