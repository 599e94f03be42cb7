#include "shutdownlogreader.h"

#include "logcategories.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

ShutdownLogReader::Classes ShutdownLogReader::read(const QString &path)
{
    // No log yet (never shut down by us): an empty tree, nothing to report.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    QByteArray text = file.read(readLimit);
    file.close();
    const bool cut = size > text.size();
    if (cut)
        text = closeCut(text);

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (document.isNull()) {
        qCWarning(lcServices) << "Cannot read the shutdown log" << path << "-" << error.errorString();
        return {};
    }
    if (!document.isObject())
        qCWarning(lcServices) << "The shutdown log" << path
                              << "holds no object of window classes; nothing to show";

    Classes classes;
    int windows = 0;
    const QJsonObject object = document.object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isArray())
            qCWarning(lcServices) << "The shutdown log lists no titles for" << it.key();
        QStringList titles;
        const QJsonArray values = it.value().toArray();
        for (const QJsonValue &title : values) {
            if (!title.isString())
                qCWarning(lcServices) << "The shutdown log holds a title of" << it.key()
                                      << "that is not text:" << title;
            titles << title.toString();
        }
        windows += titles.size();
        classes.append({it.key(), titles});
    }
    if (cut)
        qCWarning(lcServices).noquote()
            << QStringLiteral("The shutdown log %1 holds %2 bytes; only the first %3 are read "
                              "(%4 window classes, %5 windows), the other %6 bytes are skipped")
                   .arg(path)
                   .arg(size)
                   .arg(readLimit)
                   .arg(classes.size())
                   .arg(windows)
                   .arg(size - readLimit);
    return classes;
}

QByteArray ShutdownLogReader::closeCut(const QByteArray &text)
{
    QByteArray open; // the containers open at this point, outermost first
    bool inString = false;
    bool escaped = false;
    int end = 0;
    QByteArray closers;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"') {
                inString = false;
                // A whole title: in an array that is a member of the top object.
                if (open == "{[") {
                    end = i + 1;
                    closers = "]}";
                }
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            open += c;
        } else if (c == '}' || c == ']') {
            open.chop(1);
            // A whole class (its array closed), or the whole object.
            if (open == "{" || open.isEmpty()) {
                end = i + 1;
                closers = open.isEmpty() ? QByteArray() : QByteArray("}");
            }
        }
    }
    if (end == 0)
        return QByteArray();
    return text.left(end) + closers;
}
