/* The UI driver's command line: one action and the filters that pick windows. */
#ifndef E2E_UIDRIVER_OPTIONS_H
#define E2E_UIDRIVER_OPTIONS_H

struct DriverOptions {
    char action[32];     /* report, click, command, key, syscommand, sysmenu, gone, list */
    char exe[260];       /* process image base name, e.g. Setup.exe; empty: any */
    char className[256]; /* exact window class; empty: any */
    char caption[512];   /* exact caption; empty: any */
    char text[512];      /* substring of some control's text; empty: any */
    char button[128];    /* button text for click, without the & mnemonic */
    long count;          /* how many matching windows report waits for */
    long timeoutMs;      /* every wait ends after this */
    long commandId;      /* WM_COMMAND id for command, WM_SYSCOMMAND command for syscommand */
    long virtualKey;     /* key for key */
};

/* Fills options from argv.  Returns 0 (after printing why) on a bad command line. */
int ParseOptions(int argc, char **argv, DriverOptions *options);

#endif
