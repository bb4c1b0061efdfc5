/*
 * The cross-check probe: runs the table of profile and path cases and prints
 * one line per case.  The same source is built against the host stand-in and
 * for Windows; tests/crosscheck/run.py compares the two outputs.
 */
#ifndef CROSSCHECK_PROBE_H
#define CROSSCHECK_PROBE_H

/* Writes the case files into the current directory, runs every case and
 * prints the results on stdout; returns the process exit status. */
int RunProbe(void);

#endif
