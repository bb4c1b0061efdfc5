#include "startup/command_line.h"

#include <string.h>

#include "common/bounded.h"
#include "common/names.h"

/* What a switch does. */
enum SwitchKind {
    SWITCH_QUIET,
    SWITCH_HELP,
    SWITCH_VALUE,     /* /name=VALUE or /name VALUE */
    SWITCH_MODE,      /* picks the launch mode */
    SWITCH_ACCEPTED   /* understood, and changes nothing */
};

/* The kinds are kept in a byte each: the table is part of the executable. */
struct Switch {
    const char *name;     /* without its '/' or '-' */
    BYTE kind;            /* SwitchKind */
    BYTE mode;            /* LaunchMode, SWITCH_MODE only */
    BYTE value;           /* SwitchValue, SWITCH_VALUE only: which, and what it needs */
    const char *needs;
};

/* Every switch the launcher knows. */
static const Switch SWITCHES[] = {
    {"quiet", SWITCH_QUIET, MODE_INSTALL, VALUE_LOG, NULL},
    {"q", SWITCH_QUIET, MODE_INSTALL, VALUE_LOG, NULL},
    {"qn", SWITCH_QUIET, MODE_INSTALL, VALUE_LOG, NULL},
    {"s", SWITCH_QUIET, MODE_INSTALL, VALUE_LOG, NULL},
    {"silent", SWITCH_QUIET, MODE_INSTALL, VALUE_LOG, NULL},
    {"verysilent", SWITCH_QUIET, MODE_INSTALL, VALUE_LOG, NULL},
    {"passive", SWITCH_QUIET, MODE_INSTALL, VALUE_LOG, NULL},
    {"qb", SWITCH_QUIET, MODE_INSTALL, VALUE_LOG, NULL},
    {"?", SWITCH_HELP, MODE_INSTALL, VALUE_LOG, NULL},
    {"h", SWITCH_HELP, MODE_INSTALL, VALUE_LOG, NULL},
    {"help", SWITCH_HELP, MODE_INSTALL, VALUE_LOG, NULL},
    {"log", SWITCH_VALUE, MODE_INSTALL, VALUE_LOG, "a path"},
    {"check", SWITCH_MODE, MODE_CHECK, VALUE_LOG, NULL},
    {"uninstall", SWITCH_MODE, MODE_UNINSTALL, VALUE_LOG, NULL},
    {"x", SWITCH_MODE, MODE_UNINSTALL, VALUE_LOG, NULL},
    /* a network printer on a Standard TCP/IP port */
    {"printer", SWITCH_VALUE, MODE_INSTALL, VALUE_PRINTER, "a printer name"},
    {"port", SWITCH_VALUE, MODE_INSTALL, VALUE_PORT, "the printer's address"},
    {"model", SWITCH_VALUE, MODE_INSTALL, VALUE_MODEL, "a model name"},
    {"portnumber", SWITCH_VALUE, MODE_INSTALL, VALUE_PORT_NUMBER, "a port number"},
    {"lpr", SWITCH_VALUE, MODE_INSTALL, VALUE_LPR, "an LPR queue name"},
    {"snmp", SWITCH_VALUE, MODE_INSTALL, VALUE_SNMP, "an SNMP community"},
    /* for deployment tools: the launcher never restarts Windows, and shows no
     * box in quiet mode anyway */
    {"norestart", SWITCH_ACCEPTED, MODE_INSTALL, VALUE_LOG, NULL},
    {"suppressmsgboxes", SWITCH_ACCEPTED, MODE_INSTALL, VALUE_LOG, NULL},
    {"sp-", SWITCH_ACCEPTED, MODE_INSTALL, VALUE_LOG, NULL},
};

#define PRINTER_SET_UP ((1u << VALUE_PRINTER) | (1u << VALUE_PORT))
#define LONGEST_QUEUE (MAX_QUEUENAME_LEN - 1)
#define LONGEST_COMMUNITY (MAX_SNMP_COMMUNITY_STR_LEN - 1)
#define LONGEST_HOST (MAX_NETWORKNAME_LEN - 1)
#define HIGHEST_PORT_NUMBER 65535

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

/* The switch argument names, NULL for an argument that is no switch or an
 * unknown one; for "/name=VALUE", *value points at VALUE (else NULL). */
static const Switch *FindSwitch(const char *argument, const char **value)
{
    const char *name = SwitchName(argument);
    *value = NULL;
    if (!name) return NULL;
    const char *equals = strchr(name, '=');
    size_t length = equals ? (size_t)(equals - name) : strlen(name);
    for (size_t i = 0; i < sizeof SWITCHES / sizeof SWITCHES[0]; i++) {
        const Switch &known = SWITCHES[i];
        if (strlen(known.name) != length || !StartsWithName(name, known.name)) continue;
        if (equals && known.kind != SWITCH_VALUE) return NULL;
        if (equals) *value = equals + 1;
        return &known;
    }
    return NULL;
}

static int IsKnownSwitch(const char *argument)
{
    const char *value;
    return FindSwitch(argument, &value) != NULL;
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

/* A switch whose value cannot be taken, and why. */
static void KeepBadValue(LaunchOptions *options, const char *argument, const char *why)
{
    if (options->badArgument[0] != '\0') return;
    KeepBadArgument(options, argument);
    options->badValue = why;
}

/* Characters of text in the ANSI code page: a double-byte one counts once. */
static size_t CountCharacters(const char *text)
{
    size_t count = 0;
    for (; *text; count++) text += (IsDBCSLeadByte((BYTE)*text) && text[1]) ? 2 : 1;
    return count;
}

/* A host as the Standard TCP/IP port takes it: an IPv4 address or a name. */
static int IsHostName(const char *host)
{
    for (const char *c = host; *c; c++)
        if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') || *c == '.' ||
              *c == '-'))
            return 0;
    return 1;
}

/* The number text holds, 0 for any other text. */
static DWORD ReadPortNumber(const char *text)
{
    DWORD number = 0;
    for (const char *digit = text; *digit; digit++) {
        if (*digit < '0' || *digit > '9' || number > HIGHEST_PORT_NUMBER) return 0;
        number = number * 10 + (DWORD)(*digit - '0');
    }
    return number <= HIGHEST_PORT_NUMBER ? number : 0;
}

/* Why value cannot be which's, NULL when it can.  Windows refuses a
 * printer name with a comma or a backslash ("AddPrinter"); the Standard
 * TCP/IP port's fields are as long as tcpxcv.h makes them. */
static const char *RefuseValue(SwitchValue which, const char *value)
{
    switch (which) {
    case VALUE_PRINTER:
        if (CountCharacters(value) <= PRINTER_NAME_MAX && !strpbrk(value, ",\\")) return NULL;
        return "a printer name has at most 220 characters, and no comma or backslash";
    case VALUE_PORT:
        if (strlen(value) <= LONGEST_HOST && IsHostName(value)) return NULL;
        return "the printer's address is an IPv4 address or a host name of at most 48 characters";
    case VALUE_PORT_NUMBER: return ReadPortNumber(value) ? NULL : "a port number is 1 to 65535";
    case VALUE_LPR: return strlen(value) > LONGEST_QUEUE ? "at most 32 characters" : NULL;
    case VALUE_SNMP: return strlen(value) > LONGEST_COMMUNITY ? "at most 32 characters" : NULL;
    default: return NULL;
    }
}

static void StoreValue(LaunchOptions *options, SwitchValue which, const char *value)
{
    NetworkPrinter *printer = &options->printer;
    switch (which) {
    case VALUE_LOG: copy_bounded(options->logPath, value); break;
    case VALUE_PRINTER: copy_bounded(printer->name, value); break;
    case VALUE_PORT: copy_bounded(printer->host, value); break;
    case VALUE_MODEL: copy_bounded(printer->model, value); break;
    case VALUE_PORT_NUMBER: printer->portNumber = ReadPortNumber(value); break;
    case VALUE_LPR: copy_bounded(printer->lprQueue, value); break;
    case VALUE_SNMP: copy_bounded(printer->snmpCommunity, value); break;
    }
}

static int ValueGiven(const LaunchOptions *options, SwitchValue which)
{
    if (which == VALUE_LOG) return options->logPath[0] != '\0';
    return (options->printerSwitches & (1u << which)) != 0;
}

/* Takes value for the switch known, named as given in argument; an empty
 * value, a value it cannot take, or a second one, is refused. */
static void TakeValue(LaunchOptions *options, const Switch *known, const char *value, const char *argument)
{
    static char why[64];
    if (value[0] == '\0') {
        format_bounded(why, "/%s needs %s", known->name, known->needs);
        KeepBadValue(options, argument, why);
        return;
    }
    SwitchValue which = (SwitchValue)known->value;
    if (ValueGiven(options, which)) {
        format_bounded(why, "/%s given twice", known->name);
        KeepBadValue(options, argument, why);
        return;
    }
    const char *refusal = RefuseValue(which, value);
    if (refusal) {
        KeepBadValue(options, argument, refusal);
        return;
    }
    StoreValue(options, which, value);
    if (which == VALUE_LOG) return;
    if (!options->printerSwitches) copy_bounded(options->printerSwitch, argument);
    options->printerSwitches |= 1u << which;
}

/* Takes the value of "/name VALUE" from the next argument; a switch there
 * means it is missing. */
static const char *TakeNextValue(LaunchOptions *options, const Switch *known, const char *rest, const char *argument)
{
    char value[MAX_PATH];
    int whole;
    const char *after = NextArgument(rest, value, &whole);
    if (!after || IsKnownSwitch(value)) {
        TakeValue(options, known, "", argument);
        return rest;
    }
    if (!whole) {
        KeepBadArgument(options, value);
        return after;
    }
    TakeValue(options, known, value, argument);
    return after;
}

/* A second, other mode cannot be combined with the first. */
static void TakeMode(LaunchOptions *options, LaunchMode mode, const char *argument)
{
    if (options->mode != MODE_INSTALL && options->mode != mode) KeepConflict(options, argument);
    else options->mode = mode;
}

/* /printer and /port set a printer up together, the others only with them;
 * a removal takes /printer alone; the check and the help take none. */
static void CheckPrinterSwitches(LaunchOptions *options)
{
    unsigned given = options->printerSwitches;
    if (!given) return;
    int refused;
    if (options->mode == MODE_UNINSTALL) refused = given != (1u << VALUE_PRINTER);
    else refused = options->mode == MODE_CHECK || (given & PRINTER_SET_UP) != PRINTER_SET_UP;
    if (refused || options->help[0]) KeepConflict(options, options->printerSwitch);
    NetworkPrinter *printer = &options->printer;
    if (!printer->portNumber) printer->portNumber = printer->lprQueue[0] ? LPR_PORT_NUMBER : RAW_PORT_NUMBER;
}

int ParseCommandLine(const char *arguments, LaunchOptions *options)
{
    memset(options, 0, sizeof *options);
    char argument[MAX_PATH];
    int whole;
    const char *rest = arguments ? arguments : "";
    while ((rest = NextArgument(rest, argument, &whole)) != NULL) {
        const char *value;
        const Switch *known = whole ? FindSwitch(argument, &value) : NULL;
        if (!known) {
            KeepBadArgument(options, argument);
            continue;
        }
        switch ((SwitchKind)known->kind) {
        case SWITCH_QUIET: options->quiet = 1; break;
        case SWITCH_HELP: copy_bounded(options->help, argument); break;
        case SWITCH_VALUE:
            if (value) TakeValue(options, known, value, argument);
            else rest = TakeNextValue(options, known, rest, argument);
            break;
        case SWITCH_MODE: TakeMode(options, (LaunchMode)known->mode, argument); break;
        case SWITCH_ACCEPTED: break;
        }
    }
    /* The help is a box: in quiet mode, or asked with a removal, it is a
     * mistake the exit code must tell.  (The check writes it to its console.) */
    if (options->help[0] && (options->quiet || options->mode == MODE_UNINSTALL)) KeepConflict(options, options->help);
    CheckPrinterSwitches(options);
    return options->badArgument[0] == '\0';
}

void RequireQuietForPrinter(LaunchOptions *options)
{
    if (options->mode == MODE_INSTALL && options->printerSwitches && !options->quiet)
        KeepConflict(options, options->printerSwitch);
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
        return sessionZero ? "uninstall (session 0: quiet)" : "uninstall";
    case MODE_INSTALL: break;
    }
    if (station) return "quiet (no visible window station: nobody could see or answer a window)";
    if (sessionZero) return "quiet (session 0: nobody could see or answer a window)";
    return options->quiet ? "quiet" : "window";
}
