#include "platform.h"

#include "filesaver.h"
#include "logcategories.h"

#include <QFile>
#include <QStandardPaths>

namespace {

QString entryPath()
{
    // GenericConfigLocation follows XDG_CONFIG_HOME, ~/.config without it.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/autostart/quelta.desktop");
}

// One argument of an Exec line: quoted when it holds anything the desktop entry format
// reserves, then escaped once more as the value of a string key.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString out = argument;
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    bool quote = out.isEmpty();
    for (const QChar c : reserved)
        quote = quote || out.contains(c);
    if (quote) {
        QString quoted;
        for (const QChar c : out) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        out = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return out;
}

} // namespace

namespace platform {

bool startsWithDesktop()
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd()) {
        if (file.readLine().trimmed() == "Hidden=true")
            return false;
    }
    return true;
}

bool setStartWithDesktop(bool on, const std::vector<std::wstring> &command)
{
    const QString path = entryPath();
    if (!on) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            qCWarning(lcPlatform) << "Cannot remove the autostart entry" << path;
            return false;
        }
        qCInfo(lcPlatform) << "Start with the desktop switched off";
        return true;
    }
    QStringList exec;
    for (const std::wstring &argument : command)
        exec << execArgument(QString::fromStdWString(argument));
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Quelta\n"
                                        "Comment=Watch the UPS of this computer\n"
                                        "Exec=%1\n"
                                        "Icon=quelta\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(exec.join(QLatin1Char(' ')));
    // The saver logs why the entry could not be written.
    FileSaver saver(QStringLiteral("the autostart entry"), lcPlatform);
    if (!saver.save(path, text.toUtf8()))
        return false;
    qCInfo(lcPlatform) << "Start with the desktop switched on:" << path;
    return true;
}

} // namespace platform
