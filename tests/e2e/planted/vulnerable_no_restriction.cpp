/* Vulnerable on purpose (a test build only): the DLL search is left as the
 * system has it (launch folder first).  Replaces src/startup/dll_search.cpp. */
#include "startup/dll_search.h"

int RestrictDllSearch(void)
{
    return 0;
}
