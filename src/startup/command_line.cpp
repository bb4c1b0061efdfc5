#include "startup/command_line.h"

#include <string.h>

#include "common/bounded.h"
#include "common/names.h"

/* What a switch does. */
enum SwitchKind {
    SWITCH_QUIET,
    SWITCH_HELP,
    SWITCH_LOG,       /* /log PATH; /log=PATH is read apart */
    SWITCH_MODE,      /* picks the launch mode */
    SWITCH_ACCEPTED   /* understood, and changes nothing */
};

struct Switch {
    const char *name;  /* without its '/' or '-' */
    SwitchKind kind;
    LaunchMode mode;   /* SWITCH_MODE only */
};

/* Every switch the launcher knows. */
static const Switch SWITCHES[] = {
    {"quiet", SWITCH_QUIET, MODE_INSTALL},
    {"q", SWITCH_QUIET, MODE_INSTALL},
    {"qn", SWITCH_QUIET, MODE_INSTALL},
    {"s", SWITCH_QUIET, MODE_INSTALL},
    {"silent", SWITCH_QUIET, MODE_INSTALL},
    {"verysilent", SWITCH_QUIET, MODE_INSTALL},
    {"passive", SWITCH_QUIET, MODE_INSTALL},
    {"qb", SWITCH_QUIET, MODE_INSTALL},
    {"?", SWITCH_HELP, MODE_INSTALL},
    {"h", SWITCH_HELP, MODE_INSTALL},
    {"help", SWITCH_HELP, MODE_INSTALL},
    {"log", SWITCH_LOG, MODE_INSTALL},
    {"check", SWITCH_MODE, MODE_CHECK},
    {"uninstall", SWITCH_MODE, MODE_UNINSTALL},
    {"x", SWITCH_MODE, MODE_UNINSTALL},
    /* for deployment tools: the launcher never restarts Windows, and shows no
     * box in quiet mode anyway */
    {"norestart", SWITCH_ACCEPTED, MODE_INSTALL},
    {"suppressmsgboxes", SWITCH_ACCEPTED, MODE_INSTALL},
    {"sp-", SWITCH_ACCEPTED, MODE_INSTALL},
};

#define LOG_WITH_PATH "log="

static int IsBlank(char c) { return c == ' ' || c == '\t'; }

/* Adds c to the argument; when it is full, marks it cut instead. */
static void PutArgumentChar(char (&argument)[MAX_PATH], size_t *length, char c, int *whole)
{
    if (*length + 1 < sizeof argument) argument[(*length)++] = c;
    else *whole = 0;
}

/* Copies the next argument of line into argument, splitting as the run-time
 * library does: blanks separate, double quotes group and are dropped, 2n
 * backslashes before a quote give n and the quote groups, 2n+1 give n and a
 * literal quote, other backslashes are kept; a double-byte character is kept
 * whole (its second byte may be a backslash).  Returns the rest of the line,
 * or NULL when no argument is left; *whole is 0 when the argument was cut. */
static const char *NextArgument(const char *line, char (&argument)[MAX_PATH], int *whole)
{
    while (IsBlank(*line)) line++;
    if (*line == '\0') return NULL;
    size_t length = 0;
    int quoted = 0;
    *whole = 1;
    while (*line && (quoted || !IsBlank(*line))) {
        if (IsDBCSLeadByte((BYTE)*line) && line[1]) {
            PutArgumentChar(argument, &length, *line++, whole);
            PutArgumentChar(argument, &length, *line++, whole);
            continue;
        }
        size_t backslashes = 0;
        while (line[backslashes] == '\\') backslashes++;
        if (backslashes == 0 && *line != '"') {
            PutArgumentChar(argument, &length, *line++, whole);
            continue;
        }
        line += backslashes;
        if (*line != '"') {
            for (; backslashes > 0; backslashes--) PutArgumentChar(argument, &length, '\\', whole);
            continue;
        }
        for (size_t i = 0; i < backslashes / 2; i++) PutArgumentChar(argument, &length, '\\', whole);
        if (backslashes % 2) PutArgumentChar(argument, &length, '"', whole);
        else quoted = !quoted;
        line++;
    }
    argument[length] = '\0';
    return line;
}

/* The switch's name without its '/' or '-', or NULL for an argument that is no switch. */
static const char *SwitchName(const char *argument)
{
    return (argument[0] == '/' || argument[0] == '-') ? argument + 1 : NULL;
}

/* The switch argument names, NULL for an argument that is no switch or an unknown one. */
static const Switch *FindSwitch(const char *argument)
{
    const char *name = SwitchName(argument);
    if (!name) return NULL;
    for (size_t i = 0; i < sizeof SWITCHES / sizeof SWITCHES[0]; i++)
        if (IsName(name, SWITCHES[i].name)) return &SWITCHES[i];
    return NULL;
}

/* True for every switch the launcher knows, /log with its path included. */
static int IsKnownSwitch(const char *argument)
{
    const char *name = SwitchName(argument);
    return FindSwitch(argument) != NULL || (name && StartsWithName(name, LOG_WITH_PATH));
}

static void KeepBadArgument(LaunchOptions *options, const char *argument)
{
    if (options->badArgument[0] == '\0') copy_bounded(options->badArgument, argument);
}

/* An argument understood alone that cannot go with the others. */
static void KeepConflict(LaunchOptions *options, const char *argument)
{
    if (options->badArgument[0] != '\0') return;
    KeepBadArgument(options, argument);
    options->conflict = 1;
}

/* Takes path as the log file's; an empty one, or a second /log, is refused. */
static void TakeLogPath(LaunchOptions *options, const char *path, const char *argument)
{
    if (path[0] == '\0' || options->logPath[0] != '\0') KeepBadArgument(options, argument);
    else copy_bounded(options->logPath, path);
}

/* Takes /log's path from the next argument; a switch there means it is missing. */
static const char *TakeNextLogPath(LaunchOptions *options, const char *rest, const char *argument)
{
    char path[MAX_PATH];
    int whole;
    const char *after = NextArgument(rest, path, &whole);
    if (!after || !whole || IsKnownSwitch(path)) {
        KeepBadArgument(options, argument);
        return rest;
    }
    TakeLogPath(options, path, argument);
    return after;
}

/* A second, other mode cannot be combined with the first. */
static void TakeMode(LaunchOptions *options, LaunchMode mode, const char *argument)
{
    if (options->mode != MODE_INSTALL && options->mode != mode) KeepConflict(options, argument);
    else options->mode = mode;
}

int ParseCommandLine(const char *arguments, LaunchOptions *options)
{
    memset(options, 0, sizeof *options);
    char argument[MAX_PATH];
    int whole;
    const char *rest = arguments ? arguments : "";
    while ((rest = NextArgument(rest, argument, &whole)) != NULL) {
        const char *name = SwitchName(argument);
        const Switch *known = whole ? FindSwitch(argument) : NULL;
        if (whole && !known && name && StartsWithName(name, LOG_WITH_PATH)) {
            TakeLogPath(options, name + strlen(LOG_WITH_PATH), argument);
            continue;
        }
        if (!known) {
            KeepBadArgument(options, argument);
            continue;
        }
        switch (known->kind) {
        case SWITCH_QUIET: options->quiet = 1; break;
        case SWITCH_HELP: copy_bounded(options->help, argument); break;
        case SWITCH_LOG: rest = TakeNextLogPath(options, rest, argument); break;
        case SWITCH_MODE: TakeMode(options, known->mode, argument); break;
        case SWITCH_ACCEPTED: break;
        }
    }
    /* The help is a box: in quiet mode, or asked with a removal, it is a
     * mistake the exit code must tell.  (The check writes it to its console.) */
    if (options->help[0] && (options->quiet || options->mode == MODE_UNINSTALL)) KeepConflict(options, options->help);
    return options->badArgument[0] == '\0';
}

int NothingOnScreen(const LaunchOptions *options) { return options->quiet || options->mode == MODE_CHECK; }

int ExitCodeIsOutcome(const LaunchOptions *options) { return NothingOnScreen(options) || options->mode != MODE_INSTALL; }

void MakeQuietForNoScreen(LaunchOptions *options, ScreenSight sight)
{
    if (NothingOnScreen(options) || sight == SCREEN_SEEN) return;
    options->quiet = 1;
    options->noScreen = sight;
    if (options->help[0] && !options->badArgument[0]) KeepConflict(options, options->help);
}

const char *ModeName(const LaunchOptions *options)
{
    int station = options->noScreen == SCREEN_STATION_INVISIBLE;
    int sessionZero = options->noScreen == SCREEN_SESSION_ZERO;
    switch (options->mode) {
    case MODE_CHECK: return "package check";
    case MODE_UNINSTALL:
        if (station) return "uninstall (no visible window station: quiet)";
        return sessionZero ? "uninstall (session 0, where no user logs on: quiet)" : "uninstall";
    case MODE_INSTALL: break;
    }
    if (station) return "quiet (no visible window station: nobody could see or answer a window)";
    if (sessionZero) return "quiet (session 0, where no user logs on: nobody could see or answer a window)";
    return options->quiet ? "quiet" : "window";
}
