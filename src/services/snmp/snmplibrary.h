#pragma once

// In this order: each needs the ones before it.
#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <net-snmp/agent/agent_callbacks.h>

// The SNMP agent library's functions, the library opened when the agent is first switched on
// rather than at start: a program that serves no MIB maps none of it. Only the agent's thread
// calls them: the library keeps its sessions in globals.
struct SnmpLibrary
{
    int (*dsSetBoolean)(int, int, int);
    int (*dsSetInt)(int, int, int);
    int (*dsSetString)(int, int, const char *);
    int (*initAgent)(const char *);
    void (*initSnmp)(const char *);
    void (*snmpShutdown)(const char *);
    void (*enableCalllog)(void);
    int (*registerCallback)(int, int, SNMPCallback *, void *);
    netsnmp_handler_registration *(*createHandlerRegistration)(const char *, Netsnmp_Node_Handler *,
                                                               const oid *, size_t, int);
    int (*registerHandler)(netsnmp_handler_registration *);
    int (*unregisterMibContext)(oid *, size_t, int, int, oid, const char *);
    int (*selectInfo2)(int *, netsnmp_large_fd_set *, struct timeval *, int *);
    void (*read2)(netsnmp_large_fd_set *);
    void (*timeout)(void);
    int (*runAlarms)(void);
    void (*checkOutstandingRequests)(void);
    void (*largeFdSetInit)(netsnmp_large_fd_set *, int);
    void (*largeFdSetFd)(int, netsnmp_large_fd_set *);
    int (*largeFdIsSet)(int, netsnmp_large_fd_set *);
    void (*largeFdSetCleanup)(netsnmp_large_fd_set *);
    int (*setVarTypedValue)(netsnmp_variable_list *, u_char, const void *, size_t);
    int (*setVarObjid)(netsnmp_variable_list *, const oid *, size_t);
    int (*setRequestError)(netsnmp_agent_request_info *, netsnmp_request_info *, int);
    netsnmp_variable_list *(*varlistAddVariable)(netsnmp_variable_list **, const oid *, size_t,
                                                 u_char, const void *, size_t);
    void (*freeVarbind)(netsnmp_variable_list *);
    int (*sendTraps)(int, int, const oid *, int, netsnmp_variable_list *, const char *, int);
    u_long (*agentUptime)(void);
    // For moving the session to another master: the subagent's session, and the alarms through
    // which the library reconnects.
    netsnmp_session **mainSession;
    int (*snmpClose)(netsnmp_session *);

    // The functions, the library opened on the first call; nullptr, said once in the log, when
    // it cannot be opened.
    static const SnmpLibrary *get();
};
