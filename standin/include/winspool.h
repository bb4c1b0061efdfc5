/* Host stand-in for <winspool.h>: printer enumeration.  The launcher reaches
 * EnumPrintersA through LoadLibraryA and GetProcAddress, never by import. */
#ifndef STANDIN_WINSPOOL_H
#define STANDIN_WINSPOOL_H

#include <windows.h>

#define PRINTER_ENUM_DEFAULT 0x00000001
#define PRINTER_ENUM_LOCAL 0x00000002
#define PRINTER_ENUM_CONNECTIONS 0x00000004
#define PRINTER_ENUM_NAME 0x00000008

#endif
