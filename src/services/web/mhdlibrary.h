#pragma once

#include <microhttpd.h>

// libmicrohttpd's functions, the library opened when the web page is first switched on rather
// than at start: a program that serves no page maps neither it nor the TLS libraries it brings.
struct MhdLibrary
{
    MHD_Daemon *(*startDaemon)(unsigned int, uint16_t, MHD_AcceptPolicyCallback, void *,
                               MHD_AccessHandlerCallback, void *, ...);
    void (*stopDaemon)(MHD_Daemon *);
    const MHD_DaemonInfo *(*getDaemonInfo)(MHD_Daemon *, MHD_DaemonInfoType, ...);
    const MHD_ConnectionInfo *(*getConnectionInfo)(MHD_Connection *, MHD_ConnectionInfoType, ...);
    int (*getConnectionValues)(MHD_Connection *, MHD_ValueKind, MHD_KeyValueIterator, void *);
    const char *(*lookupConnectionValue)(MHD_Connection *, MHD_ValueKind, const char *);
    void (*suspendConnection)(MHD_Connection *);
    void (*resumeConnection)(MHD_Connection *);
    MHD_Response *(*createResponseFromBuffer)(size_t, void *, MHD_ResponseMemoryMode);
    MHD_Response *(*createResponseFromCallback)(uint64_t, size_t, MHD_ContentReaderCallback,
                                                void *, MHD_ContentReaderFreeCallback);
    MHD_Result (*addResponseHeader)(MHD_Response *, const char *, const char *);
    MHD_Result (*queueResponse)(MHD_Connection *, unsigned int, MHD_Response *);
    void (*destroyResponse)(MHD_Response *);

    // The functions, the library opened on the first call; nullptr, said once in the log, when
    // it cannot be opened.
    static const MhdLibrary *get();
};

// The functions of the library opened (only once get() gave them).
const MhdLibrary &mhd();
