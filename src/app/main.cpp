#include "paths.h"
#include "startup.h"

#include <QtGlobal>

#include <malloc.h>

// The service program: the same start-up without a window. Installed, it keeps its files in
// the service's folder, so `queltad status` and `queltad config` reach the running service.
int main(int argc, char *argv[])
{
    // One heap for every thread: the service's few threads allocate little and rarely, and each
    // would otherwise keep an arena of its own, a quarter of a megabyte each once touched.
    mallopt(M_ARENA_MAX, 1);
    Paths::setServiceRoot(QStringLiteral("/var/lib/quelta"));
    // Qt's own event loop: the GLib one wakes itself through a file for each timer it changes,
    // several times a request, and nothing here needs GLib's sources.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    return Startup::run(argc, argv);
}
