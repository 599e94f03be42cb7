#include "eventlog.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>

void EventLog::line(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    if (std::fflush(stdout) != 0 && errno == EPIPE) {
        // Whoever followed the log is gone (a test that ended without stopping us): so are we.
        std::clearerr(stdout);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    }
}

void EventLog::tagged(const char *tag, const QString &text)
{
    line(QLatin1String(tag) + QLatin1Char(' ') + text);
}

QString EventLog::quoted(const QByteArray &bytes)
{
    QString out(QLatin1Char('"'));
    for (const char c : bytes) {
        const uchar u = uchar(c);
        switch (c) {
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        default:
            if (u >= 0x20 && u < 0x7f)
                out += QLatin1Char(c);
            else
                out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        }
    }
    out += QLatin1Char('"');
    return out;
}

bool EventLog::unquote(const QString &text, QByteArray *bytes)
{
    QString body = text;
    if (body.size() >= 2 && body.startsWith(QLatin1Char('"')) && body.endsWith(QLatin1Char('"')))
        body = body.mid(1, body.size() - 2);
    bytes->clear();
    for (int i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c.unicode() > 0xff)
            return false;
        if (c != QLatin1Char('\\')) {
            bytes->append(char(c.unicode()));
            continue;
        }
        if (++i >= body.size())
            return false;
        switch (body.at(i).toLatin1()) {
        case 'r':
            bytes->append('\r');
            break;
        case 'n':
            bytes->append('\n');
            break;
        case 't':
            bytes->append('\t');
            break;
        case '"':
            bytes->append('"');
            break;
        case '\\':
            bytes->append('\\');
            break;
        case 'x': {
            bool ok = false;
            const int value = body.mid(i + 1, 2).toInt(&ok, 16);
            if (!ok || body.mid(i + 1, 2).size() != 2)
                return false;
            bytes->append(char(value));
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}
