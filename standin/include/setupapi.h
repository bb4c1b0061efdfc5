/* Host stand-in for <setupapi.h>: what a published INF's original name is
 * read with.  The launcher reaches the functions through GetProcAddress. */
#ifndef STANDIN_SETUPAPI_H
#define STANDIN_SETUPAPI_H

#include <windows.h>

#define INFINFO_INF_NAME_IS_ABSOLUTE 2
#define ANYSIZE_ARRAY 1

typedef struct _SP_INF_INFORMATION {
    DWORD InfStyle;
    DWORD InfCount;
    BYTE VersionData[ANYSIZE_ARRAY];
} SP_INF_INFORMATION, *PSP_INF_INFORMATION;

typedef struct _SP_ORIGINAL_FILE_INFO_A {
    DWORD cbSize;
    CHAR OriginalInfName[MAX_PATH];
    CHAR OriginalCatalogName[MAX_PATH];
} SP_ORIGINAL_FILE_INFO_A, *PSP_ORIGINAL_FILE_INFO_A;

typedef void *PSP_ALTPLATFORM_INFO;

#endif
