/* The launcher's command line: the mode, quiet or not, the log file, help. */
#ifndef STARTUP_COMMAND_LINE_H
#define STARTUP_COMMAND_LINE_H

#include <windows.h>

#include "common/system_probes.h"
#include "install/network_printer.h"

/* What the launcher does, besides how it shows it. */
enum LaunchMode {
    MODE_INSTALL,   /* no mode switch: the installation */
    MODE_CHECK,     /* /check: the package check, no window and no installation */
    MODE_UNINSTALL  /* /uninstall: the package's published copies removed */
};

/* The switches that take a value, as /name=VALUE or /name VALUE. */
enum SwitchValue {
    VALUE_LOG,
    VALUE_PRINTER,
    VALUE_PORT,
    VALUE_MODEL,
    VALUE_PORT_NUMBER,
    VALUE_LPR,
    VALUE_SNMP
};

/* What the command line asks for.  A line with no arguments asks for nothing:
 * the launcher then shows its windows as it always has. */
struct LaunchOptions {
    LaunchMode mode;
    int quiet;                   /* /quiet or an alias: no window of any kind */
    ScreenSight noScreen;        /* not SCREEN_SEEN: quiet because nobody can see the screen, not asked for */
    char help[16];               /* /?, /h or /help as given; empty when not asked for */
    char logPath[MAX_PATH];      /* /log=PATH or /log PATH; empty when not given */
    NetworkPrinter printer;      /* /printer, /port, /model, /portnumber, /lpr, /snmp */
    unsigned printerSwitches;    /* which of them were given: 1 << VALUE_... */
    char printerSwitch[MAX_PATH];  /* the first of them, as given */
    char badArgument[MAX_PATH];  /* the first argument not understood; empty when all were */
    int conflict;                /* badArgument is understood, but cannot go with the others */
    const char *badValue;        /* why badArgument's value cannot be taken; NULL for another fault */
};

/* Reads the arguments (the command line without the program's name) into
 * options, zeroed first.  Switches start with '/' or '-' and are matched
 * whatever their case; arguments are split as the run-time library splits
 * them, so quotes hold spaces.  The help cannot go with quiet mode or the
 * check, nor one mode with another; /printer and /port go together, the
 * other printer switches only with them, and a removal takes /printer alone.
 * Returns 1 when every argument was understood, 0 when options->badArgument
 * names the first that was not. */
int ParseCommandLine(const char *arguments, LaunchOptions *options);

/* A network printer is set up only with nobody at the screen: in window
 * mode the printer switches of an installation cannot go with the others. */
void RequireQuietForPrinter(LaunchOptions *options);

/* True when nothing is shown on the screen: quiet mode and the package check. */
int NothingOnScreen(const LaunchOptions *options);

/* True when the exit code tells the outcome: in every mode but window
 * mode's installation, which always ends with 0. */
int ExitCodeIsOutcome(const LaunchOptions *options);

/* Makes a launch that would show windows quiet, for a screen nobody can see
 * (sight says why); the help then cannot be shown either. */
void MakeQuietForNoScreen(LaunchOptions *options, ScreenSight sight);

/* The mode as the log's header names it. */
const char *ModeName(const LaunchOptions *options);

#endif
