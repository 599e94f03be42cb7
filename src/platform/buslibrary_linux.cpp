#include "busfunctions.h"
#include "logcategories.h"
#include "platform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

namespace {

// Kept here until the module is open: setting it must not open the bus.
std::function<void(unsigned int, const std::wstring &)> &pendingActionHandler()
{
    static std::function<void(unsigned int, const std::wstring &)> handler;
    return handler;
}

bool &moduleOpen()
{
    static bool open = false;
    return open;
}

// Beside the program where it was built, in <prefix>/lib/quelta where it is installed.
const BusFunctions *openModule()
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString name = QString::fromLatin1(busModuleName);
    QString path;
    for (const QString &candidate : {folder + QLatin1Char('/') + name,
                                     folder + QStringLiteral("/../lib/quelta/") + name}) {
        if (QFileInfo::exists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        qCWarning(lcPlatform) << "No" << name << "beside" << folder
                              << "or in ../lib/quelta; no power-off and no desktop notices";
        return nullptr;
    }
    static QLibrary library(path);
    const auto entry = reinterpret_cast<BusFunctionsEntry>(library.resolve(busFunctionsSymbol));
    if (!entry) {
        qCWarning(lcPlatform) << "Cannot open" << path << ":" << library.errorString();
        return nullptr;
    }
    const BusFunctions *functions = entry();
    moduleOpen() = true;
    if (pendingActionHandler())
        functions->setNotificationActionHandler(std::move(pendingActionHandler()));
    return functions;
}

const BusFunctions *bus()
{
    static const BusFunctions *const functions = openModule();
    return functions;
}

} // namespace

namespace platform {

void powerOff(std::function<void(PowerOffResult)> done)
{
    if (const BusFunctions *functions = bus())
        functions->powerOff(std::move(done));
    else if (done)
        done(PowerOffResult::Unavailable);
}

void showNotification(const Notice &notice,
                      std::function<void(NotificationResult, unsigned int)> done)
{
    if (const BusFunctions *functions = bus())
        functions->showNotification(notice, std::move(done));
    else if (done)
        done(NotificationResult::Unavailable, 0);
}

void closeNotification(unsigned int id)
{
    // Nothing was shown before the module was open.
    if (id != 0 && moduleOpen())
        bus()->closeNotification(id);
}

void setNotificationActionHandler(std::function<void(unsigned int, const std::wstring &)> handler)
{
    if (moduleOpen())
        bus()->setNotificationActionHandler(std::move(handler));
    else
        pendingActionHandler() = std::move(handler);
}

} // namespace platform
