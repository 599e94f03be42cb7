#include "paths.h"
#include "startup.h"

// The service program: the same start-up without a window. Installed, it keeps its files in
// the service's folder, so `queltad status` and `queltad config` reach the running service.
int main(int argc, char *argv[])
{
    Paths::setServiceRoot(QStringLiteral("/var/lib/quelta"));
    return Startup::run(argc, argv);
}
