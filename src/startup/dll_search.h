/* Where the process looks for DLLs: only in the system folder. */
#ifndef STARTUP_DLL_SEARCH_H
#define STARTUP_DLL_SEARCH_H

/* Limits the DLL search of the whole process to System32, so that no DLL in
 * the launch folder or the current folder is loaded by a bare name later on
 * (by the launcher or by a system DLL on its behalf).  Systems without
 * SetDefaultDllDirectories (Windows 7 without its loader update) get the
 * current folder taken out of the search instead.  Returns 1 when the search
 * is limited to System32, 0 otherwise; the launch goes on either way. */
int RestrictDllSearch(void);

#endif
