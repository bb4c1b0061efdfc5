/* A network printer: the package's printer driver, a Standard TCP/IP port
 * and a print queue on it, set up through the print spooler with nobody at
 * the screen; and taken off again. */
#ifndef INSTALL_NETWORK_PRINTER_H
#define INSTALL_NETWORK_PRINTER_H

#include <windows.h>

#include "install/tcp_port_data.h"

#define PRINTER_NAME_MAX 220  /* characters of a print queue's name */
#define RAW_PORT_NUMBER 9100
#define LPR_PORT_NUMBER 515

/* What the command line asks for. */
struct NetworkPrinter {
    char name[MAX_PATH];                             /* at most PRINTER_NAME_MAX characters */
    char host[MAX_NETWORKNAME_LEN];                  /* an IPv4 address or a host name */
    char model[MAX_PATH];                            /* empty: the INF's only model for this PC */
    DWORD portNumber;                                /* 0: 9100, or 515 with LPR */
    char lprQueue[MAX_QUEUENAME_LEN];                /* not empty: LPR with this queue, else RAW */
    char snmpCommunity[MAX_SNMP_COMMUNITY_STR_LEN];  /* not empty: SNMP status with it */
};

/* Before anything is staged: the model printer asks for (or the INF's only
 * one) among those the INF at infPath offers this PC, written into
 * printer->model.  Returns 1, or 0 with the outcome ERROR_INVALID_COMMAND_LINE
 * and the models offered logged. */
int ChoosePrinterModel(NetworkPrinter *printer, const char *infPath);

/* Once the package at infPath is staged: the driver (kept, or installed from
 * the driver store), the port (reused, or added), the queue (kept, changed
 * or added), then the queue read back.  Logs each step.  Returns 1 when the
 * queue is ready, 0 when a step failed (the step, the call and its code
 * logged, into failure the words for its box). */
int SetUpNetworkPrinter(const NetworkPrinter *printer, const char *infPath, char (&failure)[MAX_PATH]);

/* Deletes the queue name, then its port when it is a Standard TCP/IP port no
 * other printer uses, then its driver when no other printer uses it (one
 * still used, or one Windows keeps, is kept and logged).  Returns 1 when the
 * queue and its port are gone or were not there, 0 when either failed to go. */
int RemoveNetworkPrinter(const char *name);

/* Logs each printer whose driver is one of the models the INF at infPath
 * offers this PC: what keeps its package in use. */
void LogPrintersUsingPackage(const char *infPath);

#endif
