#include "scenarioplayer.h"

#include "commandinterpreter.h"
#include "eventlog.h"
#include "upsmodel.h"

#include <QFile>
#include <QStringList>
#include <QTimer>

#include <algorithm>

class ScenarioPlayerPrivate
{
public:
    CommandInterpreter *interpreter = nullptr;
    const UpsModel *ups = nullptr;
    QStringList lines;
    int next = 0;
    QTimer timer;
};

ScenarioPlayer::ScenarioPlayer(CommandInterpreter *interpreter, const UpsModel *ups,
                               QObject *parent)
    : QObject(parent), d(new ScenarioPlayerPrivate)
{
    d->interpreter = interpreter;
    d->ups = ups;
    d->timer.setSingleShot(true);
    connect(&d->timer, &QTimer::timeout, this, &ScenarioPlayer::step);
}

ScenarioPlayer::~ScenarioPlayer() = default;

bool ScenarioPlayer::load(const QString &nameOrFile, QString *error)
{
    QString text;
    if (nameOrFile == QLatin1String("demo")) {
        text = demoScript();
    } else {
        QFile file(nameOrFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            *error =
                QStringLiteral("cannot read scenario %1: %2").arg(nameOrFile, file.errorString());
            return false;
        }
        text = QString::fromUtf8(file.readAll());
    }
    d->lines.clear();
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.section(QLatin1Char('#'), 0, 0).trimmed();
        if (!line.isEmpty())
            d->lines << line;
    }
    d->next = 0;
    return true;
}

void ScenarioPlayer::start()
{
    d->timer.start(0);
}

void ScenarioPlayer::step()
{
    // Run commands up to the next pause; a script without any pause must not spin.
    int ran = 0;
    while (d->next < d->lines.size()) {
        const QString line = d->lines.at(d->next++);
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString word = words.first().toLower();
        if (word == QLatin1String("sleep")) {
            bool ok = false;
            const double seconds = words.value(1).toDouble(&ok);
            if (ok && seconds >= 0) {
                d->timer.start(int(seconds * 1000 / std::max(0.001, d->ups->speed())));
                return;
            }
            EventLog::tagged("NOTE", QStringLiteral("scenario: bad pause \"%1\"").arg(line));
            continue;
        }
        if (word == QLatin1String("repeat")) {
            d->next = 0;
            if (++ran > 1000) {
                d->timer.start(1000);
                return;
            }
            continue;
        }
        ++ran;
        EventLog::tagged("SCENARIO",
                         QStringLiteral("%1 -> %2").arg(line, d->interpreter->execute(line)));
    }
    EventLog::tagged("SCENARIO", QStringLiteral("end"));
}

QString ScenarioPlayer::demoScript()
{
    // About four minutes, then over again: what a UPS goes through in a bad week.
    return QStringLiteral(
        "wander on 7\n"
        "runtime 2\n" // a full battery lasts about five minutes at the demo's load
        "charge 2\n"
        "load 38\n"
        "sleep 20\n"
        "mains fail\n"
        "sleep 35\n"
        "mains return\n"
        "sleep 25\n"
        "selftest 10s\n"
        "sleep 25\n"
        "load 62\n"
        "faultkind 1\n"
        "faultbit 8 4 on\n" // fan fault
        "sleep 15\n"
        "fault on\n"
        "sleep 10\n"
        "fault off\n"
        "faultbit 8 4 off\n"
        "sleep 15\n"
        "input 212\n"
        "bypass on\n" // the output follows the mains
        "sleep 15\n"
        "input 230\n"
        "bypass off\n"
        "load 55\n"
        "sleep 10\n"
        "battery 40\n" // an aged battery, so the next failure runs it low
        "beeper toggle\n"
        "mains fail\n"
        "sleep 60\n"
        "mains return\n"
        "beeper toggle\n"
        "sleep 30\n"
        "repeat\n");
}
