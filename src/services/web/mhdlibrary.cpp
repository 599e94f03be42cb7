#include "mhdlibrary.h"

#include "librarysymbol.h"
#include "logcategories.h"

#include <QLibrary>

namespace {

const MhdLibrary *opened = nullptr;

template<typename F> bool resolve(QLibrary &library, const char *name, F *function)
{
    return resolveSymbol(library, name, function, lcNetwork, "libmicrohttpd");
}

const MhdLibrary *open()
{
#ifdef Q_OS_WIN
    static QLibrary library(QStringLiteral("libmicrohttpd-dll"));
#else
    static QLibrary library(QStringLiteral("microhttpd"), 12);
#endif
    static MhdLibrary mhd {};
    if (!library.load()) {
        qCWarning(lcNetwork)
            << "Cannot open libmicrohttpd (Debian's package libmicrohttpd12); the web page is not "
               "served:"
            << library.errorString();
        return nullptr;
    }
    const bool all = resolve(library, "MHD_start_daemon", &mhd.startDaemon) &&
        resolve(library, "MHD_stop_daemon", &mhd.stopDaemon) &&
        resolve(library, "MHD_get_daemon_info", &mhd.getDaemonInfo) &&
        resolve(library, "MHD_get_connection_info", &mhd.getConnectionInfo) &&
        resolve(library, "MHD_get_connection_values", &mhd.getConnectionValues) &&
        resolve(library, "MHD_lookup_connection_value", &mhd.lookupConnectionValue) &&
        resolve(library, "MHD_suspend_connection", &mhd.suspendConnection) &&
        resolve(library, "MHD_resume_connection", &mhd.resumeConnection) &&
        resolve(library, "MHD_create_response_from_buffer", &mhd.createResponseFromBuffer) &&
        resolve(library, "MHD_create_response_from_callback", &mhd.createResponseFromCallback) &&
        resolve(library, "MHD_add_response_header", &mhd.addResponseHeader) &&
        resolve(library, "MHD_queue_response", &mhd.queueResponse) &&
        resolve(library, "MHD_destroy_response", &mhd.destroyResponse);
    return all ? &mhd : nullptr;
}

} // namespace

const MhdLibrary *MhdLibrary::get()
{
    // Opened once; C++ makes the first call from any thread wait for it.
    static const MhdLibrary *const library = open();
    opened = library;
    return library;
}

const MhdLibrary &mhd()
{
    return *opened;
}
