#include "deploy/command_line.h"

#include <string.h>

#include "common/bounded.h"
#include "common/names.h"

LaunchOptions g_options;

static const char *const QUIET_SWITCHES[] = {"quiet", "q", "qn", "s", "silent", "verysilent"};
static const char *const HELP_SWITCHES[] = {"?", "h", "help"};

#define LOG_SWITCH "log"
#define LOG_WITH_PATH "log="
#define NO_RESTART_SWITCH "norestart"
#define CHECK_SWITCH "check"

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

static int IsOneOf(const char *name, const char *const *names, size_t count)
{
    for (size_t i = 0; i < count; i++)
        if (IsName(name, names[i])) return 1;
    return 0;
}

#define IS_ONE_OF(name, names) IsOneOf((name), (names), sizeof(names) / sizeof(names)[0])

/* True for every switch the launcher knows, /log with its path included. */
static int IsKnownSwitch(const char *argument)
{
    const char *name = SwitchName(argument);
    if (!name) return 0;
    return IS_ONE_OF(name, QUIET_SWITCHES) || IS_ONE_OF(name, HELP_SWITCHES) || IsName(name, LOG_SWITCH) ||
           IsName(name, NO_RESTART_SWITCH) || IsName(name, CHECK_SWITCH) || StartsWithName(name, LOG_WITH_PATH);
}

static void KeepBadArgument(LaunchOptions *options, const char *argument)
{
    if (options->badArgument[0] == '\0') copy_bounded(options->badArgument, argument);
}

/* Takes path as the log file's; an empty one, or a second /log, is refused. */
static void TakeLogPath(LaunchOptions *options, const char *path, const char *argument)
{
    if (path[0] == '\0' || options->logPath[0] != '\0') KeepBadArgument(options, argument);
    else copy_bounded(options->logPath, path);
}

int ParseCommandLine(const char *arguments, LaunchOptions *options)
{
    memset(options, 0, sizeof *options);
    char argument[MAX_PATH];
    char path[MAX_PATH];
    int whole;
    const char *rest = arguments ? arguments : "";
    while ((rest = NextArgument(rest, argument, &whole)) != NULL) {
        const char *name = SwitchName(argument);
        if (!whole || !name) {
            KeepBadArgument(options, argument);
        } else if (IS_ONE_OF(name, QUIET_SWITCHES)) {
            options->quiet = 1;
        } else if (IS_ONE_OF(name, HELP_SWITCHES)) {
            options->help = 1;
        } else if (IsName(name, CHECK_SWITCH)) {
            options->check = 1;
        } else if (IsName(name, NO_RESTART_SWITCH)) {
            /* accepted for deployment tools: the launcher never restarts Windows */
        } else if (StartsWithName(name, LOG_WITH_PATH)) {
            TakeLogPath(options, name + strlen(LOG_WITH_PATH), argument);
        } else if (IsName(name, LOG_SWITCH)) {
            /* The path is the next argument; a switch there means it is missing. */
            const char *after = NextArgument(rest, path, &whole);
            if (after && whole && !IsKnownSwitch(path)) {
                rest = after;
                TakeLogPath(options, path, argument);
            } else {
                KeepBadArgument(options, argument);
            }
        } else {
            KeepBadArgument(options, argument);
        }
    }
    return options->badArgument[0] == '\0';
}

int QuietMode(void) { return g_options.quiet || g_options.check; }
