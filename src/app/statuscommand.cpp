#include "statuscommand.h"

#include "nutstatusflags.h"
#include "paths.h"
#include "singleinstance.h"
#include "statusreport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

using Health = UpsState::Health;

// How bad a health is, for the worst of several UPSes.
int rank(Health health)
{
    switch (health) {
    case Health::OnMains:
        return 0;
    case Health::OnBattery:
        return 1;
    case Health::NoUps:
        return 2;
    case Health::Critical:
        break;
    }
    return 3;
}

// The flags of ups.status in words, in their order.
QString words(const QString &status)
{
    QStringList out;
    using F = NutStatusFlags;
    for (const QString &word : status.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        switch (F::flag(word).value_or(F::Flag(0))) {
        case F::Online:
            out << StatusCommand::tr("on mains");
            break;
        case F::OnBattery:
            out << StatusCommand::tr("on battery");
            break;
        case F::BatteryLow:
            out << StatusCommand::tr("battery low");
            break;
        case F::Bypass:
            out << StatusCommand::tr("on bypass");
            break;
        case F::Trim:
            out << StatusCommand::tr("lowering a high mains voltage");
            break;
        case F::Boost:
            out << StatusCommand::tr("raising a low mains voltage");
            break;
        case F::Calibrating:
            out << StatusCommand::tr("self-test running");
            break;
        case F::OutputOff:
            out << StatusCommand::tr("output off");
            break;
        case F::ForcedShutdown:
            out << StatusCommand::tr("forced shutdown");
            break;
        case F::Alarm:
            out << StatusCommand::tr("alarm");
            break;
        default: // a word without words of its own here is shown as it is
            out << word;
        }
    }
    return out.join(QStringLiteral(", "));
}

} // namespace

int StatusCommand::run(bool json, QTextStream &out, QTextStream &err)
{
    const int noUps = int(Health::NoUps);
    const QString root = Paths::root();
    // Without the program's answer a script reading the JSON still gets a document.
    const auto unanswered = [&](const char *health, const QString &problem) {
        err << problem << '\n';
        if (json)
            out << QJsonDocument(QJsonObject {{QStringLiteral("health"), QLatin1String(health)},
                                              {QStringLiteral("problem"), problem},
                                              {QStringLiteral("ups"), QJsonArray()}})
                       .toJson(QJsonDocument::Indented);
        return noUps;
    };
    QByteArray answer;
    switch (SingleInstance::ask("status", 5000, &answer)) {
    case SingleInstance::Reply::Answered:
        break;
    case SingleInstance::Reply::NotRunning:
        return unanswered("no-program",
                          tr("Quelta does not run on the program folder %1.").arg(root));
    case SingleInstance::Reply::Refused:
        return unanswered("not-allowed",
                          tr("Quelta runs on the program folder %1, but this user may not ask "
                             "it: run this as its user or as a member of its group.")
                              .arg(root));
    case SingleInstance::Reply::NoAnswer:
        return unanswered("no-answer",
                          tr("Quelta on the program folder %1 did not answer.").arg(root));
    }
    const QJsonDocument document = QJsonDocument::fromJson(answer);
    const QJsonArray upses = document.object().value(QStringLiteral("ups")).toArray();
    if (upses.isEmpty()) {
        err << tr("Quelta on the program folder %1 watches no UPS.").arg(root) << '\n';
        if (json)
            out << document.toJson(QJsonDocument::Indented);
        return noUps;
    }

    Health worst = Health::OnMains;
    for (int i = 0; i < upses.size(); ++i) {
        const QJsonObject ups = upses.at(i).toObject();
        const Health health =
            StatusReport::healthOf(ups.value(QStringLiteral("health")).toString());
        if (rank(health) > rank(worst))
            worst = health;
        if (json)
            continue;
        const QString name = ups.value(QStringLiteral("name")).toString();
        const QJsonObject variables = ups.value(QStringLiteral("variables")).toObject();
        if (i > 0)
            out << '\n';
        // A monitoring plugin shows the first line: the name and the state in words.
        if (health == Health::NoUps || variables.isEmpty()) {
            const QString problem = ups.value(QStringLiteral("problem")).toString();
            out << tr("%1: no UPS answers").arg(name);
            if (!problem.isEmpty())
                out << " (" << problem << ')';
            out << '\n';
            continue;
        }
        out << name << ": " << words(variables.value(QStringLiteral("ups.status")).toString())
            << '\n';
        for (auto it = variables.constBegin(); it != variables.constEnd(); ++it)
            out << it.key() << ": " << it.value().toString() << '\n';
        const QJsonObject predicted = ups.value(QStringLiteral("runtimePredicted")).toObject();
        if (!predicted.isEmpty()) {
            out << tr("measured backup time: %1 s (%2 to %3 s)")
                       .arg(predicted.value(QStringLiteral("seconds")).toInt())
                       .arg(predicted.value(QStringLiteral("low")).toInt())
                       .arg(predicted.value(QStringLiteral("high")).toInt())
                << '\n';
        } else if (ups.contains(QStringLiteral("runtimePredictedWhy"))) {
            out << tr("measured backup time: none (%1)")
                       .arg(ups.value(QStringLiteral("runtimePredictedWhy")).toString())
                << '\n';
        }
        if (ups.contains(QStringLiteral("batteryHealth")))
            out << tr("battery health: %1 %")
                       .arg(qRound(ups.value(QStringLiteral("batteryHealth")).toDouble() * 100))
                << '\n';
    }
    // Below the UPSes: a plugin reads the first line.
    const QString settings = document.object().value(QStringLiteral("settings")).toString();
    if (!json && !settings.isEmpty())
        out << '\n' << tr("settings: %1").arg(settings) << '\n';
    if (json)
        out << document.toJson(QJsonDocument::Indented);
    return int(worst);
}
