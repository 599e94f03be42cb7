#include "mhdlibrary.h"

#include "logcategories.h"
#include "runtimelibrary.h"

namespace {

const MhdLibrary *opened = nullptr;

} // namespace

const MhdLibrary *MhdLibrary::get()
{
#ifdef Q_OS_WIN
    const QString file = QStringLiteral("libmicrohttpd-dll");
#else
    const QString file = QStringLiteral("microhttpd");
#endif
    static const MhdLibrary *const library =
        RuntimeLibrary(file, 12, lcNetwork, "libmicrohttpd", "Debian's package libmicrohttpd12",
                       "the web page is not served")
            .open<MhdLibrary>([](RuntimeLibrary &library, MhdLibrary &m) {
                return library.resolve("MHD_start_daemon", &m.startDaemon) &&
                    library.resolve("MHD_stop_daemon", &m.stopDaemon) &&
                    library.resolve("MHD_get_daemon_info", &m.getDaemonInfo) &&
                    library.resolve("MHD_get_connection_info", &m.getConnectionInfo) &&
                    library.resolve("MHD_get_connection_values", &m.getConnectionValues) &&
                    library.resolve("MHD_lookup_connection_value", &m.lookupConnectionValue) &&
                    library.resolve("MHD_suspend_connection", &m.suspendConnection) &&
                    library.resolve("MHD_resume_connection", &m.resumeConnection) &&
                    library.resolve("MHD_create_response_from_buffer",
                                    &m.createResponseFromBuffer) &&
                    library.resolve("MHD_create_response_from_callback",
                                    &m.createResponseFromCallback) &&
                    library.resolve("MHD_add_response_header", &m.addResponseHeader) &&
                    library.resolve("MHD_queue_response", &m.queueResponse) &&
                    library.resolve("MHD_destroy_response", &m.destroyResponse);
            });
    opened = library;
    return library;
}

const MhdLibrary &mhd()
{
    return *opened;
}
