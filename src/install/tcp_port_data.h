/* What the Standard TCP/IP Port monitor takes through XcvDataW, laid out as
 * the WDK's tcpxcv.h declares it (the toolchain's headers lack it): the
 * "AddPort" record and the "DeletePort" record, version 1 both. */
#ifndef INSTALL_TCP_PORT_DATA_H
#define INSTALL_TCP_PORT_DATA_H

#include <windows.h>

#define TCP_MONITOR_NAME "Standard TCP/IP Port"

#define MAX_PORTNAME_LEN 64
#define MAX_NETWORKNAME_LEN 49
#define MAX_SNMP_COMMUNITY_STR_LEN 33
#define MAX_QUEUENAME_LEN 33
#define MAX_IPADDR_STR_LEN 16
#define RESERVED_BYTE_ARRAY_SIZE 540

#define PROTOCOL_RAWTCP_TYPE 1
#define PROTOCOL_LPR_TYPE 2

struct PORT_DATA_1 {
    WCHAR sztPortName[MAX_PORTNAME_LEN];
    DWORD dwVersion;
    DWORD dwProtocol;
    DWORD cbSize;
    DWORD dwReserved;
    WCHAR sztHostAddress[MAX_NETWORKNAME_LEN];
    WCHAR sztSNMPCommunity[MAX_SNMP_COMMUNITY_STR_LEN];
    DWORD dwDoubleSpool;
    WCHAR sztQueue[MAX_QUEUENAME_LEN];
    WCHAR sztIPAddress[MAX_IPADDR_STR_LEN];
    BYTE Reserved[RESERVED_BYTE_ARRAY_SIZE];
    DWORD dwPortNumber;
    DWORD dwSNMPEnabled;
    DWORD dwSNMPDevIndex;
};

struct DELETE_PORT_DATA_1 {
    WCHAR psztPortName[MAX_PORTNAME_LEN];
    BYTE Reserved[98];
    DWORD dwVersion;
    DWORD dwReserved;
};

/* The monitor checks cbSize and reads the records by these sizes, which
 * hold where WCHAR has Windows' 16 bits. */
static_assert(sizeof(WCHAR) != 2 || sizeof(PORT_DATA_1) == 964, "PORT_DATA_1 is 964 bytes in tcpxcv.h");
static_assert(sizeof(WCHAR) != 2 || sizeof(DELETE_PORT_DATA_1) == 236, "DELETE_PORT_DATA_1 is 236 bytes in tcpxcv.h");

#endif
