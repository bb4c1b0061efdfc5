#include "uidriver/options.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/text.h"

#define MAX_TIMEOUT_MS 120000

/* Stores the value of one "--name value" pair; returns 0 for an unknown name. */
static int StoreOption(DriverOptions *options, const char *name, const char *value)
{
    if (!strcmp(name, "--exe")) return copy_bounded(options->exe, value);
    if (!strcmp(name, "--class")) return copy_bounded(options->className, value);
    if (!strcmp(name, "--caption")) return copy_bounded(options->caption, value);
    if (!strcmp(name, "--text")) return copy_bounded(options->text, value);
    if (!strcmp(name, "--button")) return copy_bounded(options->button, value);
    if (!strcmp(name, "--count")) options->count = strtol(value, NULL, 10);
    else if (!strcmp(name, "--timeout")) options->timeoutMs = strtol(value, NULL, 10);
    else if (!strcmp(name, "--id")) options->commandId = strtol(value, NULL, 0);
    else if (!strcmp(name, "--vk")) options->virtualKey = strtol(value, NULL, 0);
    else return 0;
    return 1;
}

int ParseOptions(int argc, char **argv, DriverOptions *options)
{
    memset(options, 0, sizeof *options);
    options->count = 1;
    options->timeoutMs = 10000;
    if (argc < 2 || !copy_bounded(options->action, argv[1])) {
        fprintf(stderr, "usage: uidriver ACTION [--exe N] [--class C] [--caption T] [--text S] ...\n");
        return 0;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        if (!StoreOption(options, argv[i], argv[i + 1])) {
            fprintf(stderr, "uidriver: bad option %s\n", argv[i]);
            return 0;
        }
    }
    if ((argc - 2) % 2 != 0) {
        fprintf(stderr, "uidriver: option %s has no value\n", argv[argc - 1]);
        return 0;
    }
    /* No wait may be unbounded. */
    if (options->timeoutMs <= 0 || options->timeoutMs > MAX_TIMEOUT_MS) options->timeoutMs = MAX_TIMEOUT_MS;
    if (options->count < 1) options->count = 1;
    return 1;
}
