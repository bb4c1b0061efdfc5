/* The launcher's command line: quiet mode, the log file, the help request. */
#ifndef DEPLOY_COMMAND_LINE_H
#define DEPLOY_COMMAND_LINE_H

#include <windows.h>

/* What the command line asks for.  A line with no arguments asks for nothing:
 * the launcher then shows its windows as it always has. */
struct LaunchOptions {
    int quiet;                   /* /quiet or an alias: no window of any kind */
    int help;                    /* /?, /h or /help */
    int check;                   /* /check: the package check, no window and no installation */
    char logPath[MAX_PATH];      /* /log=PATH or /log PATH; empty when not given */
    char badArgument[MAX_PATH];  /* the first argument not understood; empty when all were */
};

extern LaunchOptions g_options;

/* Reads the arguments (the command line without the program's name) into
 * options, zeroed first.  Switches start with '/' or '-' and are matched
 * whatever their case; arguments are split as the run-time library splits
 * them, so quotes hold spaces.  Returns 1 when every argument was understood,
 * 0 when options->badArgument names the first that was not. */
int ParseCommandLine(const char *arguments, LaunchOptions *options);

/* True in quiet mode and for the package check: no window of any kind;
 * outcomes are logged and told by the exit code. */
int QuietMode(void);

#endif
