#include "configcommand.h"

#include "paths.h"
#include "settingkeys.h"
#include "settings.h"
#include "settingsfilecheck.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

namespace {

using SettingKeys::Kind;

QString configPath()
{
    return Paths::file(QStringLiteral("/cfg/config.cfg"));
}

// The value in force: the stored one when the key can hold it, else the default the program
// uses instead. A password shows only whether one is set.
QString shown(const SettingKeys::Key &key, const QVariant &stored)
{
    if (key.kind == Kind::Secret)
        return stored.toByteArray().isEmpty() ? QString() : ConfigCommand::tr("(set)");
    QVariant value = key.defaultValue;
    if (stored.isValid()) {
        const SettingKeys::Verdict verdict = SettingKeys::check(key, stored);
        if (verdict.ok)
            value = verdict.value;
    }
    return SettingKeys::text(value);
}

// The file as it stands once an editor has left it still; empty when there is none. False, and
// said, when it cannot be read.
bool readFile(QByteArray *content, QTextStream &err)
{
    QFile file(configPath());
    if (!file.exists())
        return true;
    Settings::waitStill(file.fileName());
    if (file.open(QIODevice::ReadOnly)) {
        *content = file.readAll();
        return true;
    }
    err << ConfigCommand::tr("Cannot read %1: %2.").arg(file.fileName(), file.errorString())
        << '\n';
    return false;
}

// Each problem on a line of its own.
void tell(const QList<Settings::Problem> &problems, QTextStream &stream)
{
    for (const Settings::Problem &problem : problems)
        stream << configPath() << ": " << problem.text << '\n';
}

const SettingKeys::Key *knownKey(const QString &name, QTextStream &err)
{
    const SettingKeys::Key *key = SettingKeys::find(name);
    if (!key)
        err << ConfigCommand::tr("There is no setting %1; config list shows them all.").arg(name)
            << '\n';
    return key;
}

} // namespace

// Nothing is written over a file that does not read whole: its damaged lines would be lost,
// and with them the settings the running program keeps in force for them.
int ConfigCommand::refuseDamaged(QTextStream &err)
{
    QByteArray content;
    if (!readFile(&content, err))
        return Failure;
    if (!QFile::exists(configPath()))
        return Success;
    const SettingsFileCheck check(content);
    if (check.isSound())
        return Success;
    QList<Settings::Problem> problems;
    for (const SettingsFileCheck::Problem &p : check.problems())
        problems.append({p.line, p.text});
    tell(problems, err);
    err << tr("The settings file %1 does not read whole; nothing is written to it. Repair it: "
              "'config check' lists the problems; edit the file, or put back an earlier copy "
              "of it.")
               .arg(configPath())
        << '\n';
    return Usage;
}

namespace {

int write(const QString &name, const QVariant &value, QTextStream &err)
{
    const int refused = ConfigCommand::refuseDamaged(err);
    if (refused != ConfigCommand::Success)
        return refused;
    QDir().mkpath(Paths::file(QStringLiteral("/cfg")));
    Settings settings;
    settings.load();
    settings.setSettings(name, value);
    if (settings.writeFailed()) {
        err << ConfigCommand::tr("Cannot write %1.").arg(configPath()) << '\n';
        return ConfigCommand::Failure;
    }
    return ConfigCommand::Success;
}

} // namespace

int ConfigCommand::run(const QStringList &arguments, QTextStream &in, QTextStream &out,
                       QTextStream &err)
{
    const QString action = arguments.value(0);
    const int count = arguments.size();
    const bool fits = (action == QLatin1String("list") && count == 1) ||
        (action == QLatin1String("get") && count == 2) ||
        (action == QLatin1String("set") && count == 3) ||
        (action == QLatin1String("set-password") && count == 2) ||
        (action == QLatin1String("check") && count == 1);
    if (!fits) {
        err << tr("Use config list, config get KEY, config set KEY VALUE, config set-password "
                  "KEY or config check.")
            << '\n';
        return Usage;
    }

    if (action == QLatin1String("check")) {
        QByteArray content;
        if (!readFile(&content, err))
            return Failure;
        if (!QFile::exists(configPath())) {
            out << tr("There is no settings file %1 yet; the defaults are in force.")
                       .arg(configPath())
                << '\n';
            return Success;
        }
        const QList<Settings::Problem> problems = Settings::check(content);
        if (problems.isEmpty()) {
            out << tr("%1 reads whole; every value is one its setting takes.").arg(configPath())
                << '\n';
            return Success;
        }
        tell(problems, out);
        return Usage;
    }

    if (action == QLatin1String("list") || action == QLatin1String("get")) {
        const SettingKeys::Key *only = nullptr;
        if (action == QLatin1String("get") && !(only = knownKey(arguments.at(1), err)))
            return Usage;
        QByteArray content;
        if (!readFile(&content, err))
            return Failure;
        // Read as it stands: looking neither completes nor rewrites the file. A line that does
        // not read shows its default, as the program uses it.
        const SettingsFileCheck check(content);
        const QMap<QString, QVariant> file = check.values();
        if (!check.isSound() && QFile::exists(configPath()))
            err << tr("%1 does not read whole: a line that does not read shows its default; "
                      "'config check' lists the problems.")
                       .arg(configPath())
                << '\n';
        for (const SettingKeys::Key &key : SettingKeys::all()) {
            const QString name = QString::fromLatin1(key.name);
            if (only && only != &key)
                continue;
            const QString value = shown(key, file.value(name));
            if (only)
                out << value << '\n';
            else
                out << name << '=' << value << '\n';
        }
        if (only) {
            // A key of the watched list has no place in the fixed table.
            if (only->type < 0)
                out << shown(*only, file.value(arguments.at(1))) << '\n';
            return Success;
        }
        // The watched UPSes, as many as the list holds.
        const SettingKeys::Key *size = SettingKeys::findWatch(QStringLiteral("watch/size"));
        const int count =
            SettingKeys::check(*size, file.value(QStringLiteral("watch/size"))).value.toInt();
        out << "watch/size=" << count << '\n';
        for (int i = 1; i <= count; ++i) {
            for (const QString &field : SettingKeys::watchFields()) {
                const QString name = QStringLiteral("watch/%1/%2").arg(i).arg(field);
                out << name << '=' << shown(*SettingKeys::findWatch(name), file.value(name))
                    << '\n';
            }
        }
        return Success;
    }

    const QString name = arguments.at(1);
    const SettingKeys::Key *key = knownKey(name, err);
    if (!key)
        return Usage;
    if (action == QLatin1String("set-password")) {
        if (key->kind != Kind::Secret) {
            err << tr("%1 is no password; set it with config set.").arg(name) << '\n';
            return Usage;
        }
        // The first line of standard input, without its line end.
        in.setCodec("UTF-8");
        QString password = in.readLine();
        if (password.endsWith(QLatin1Char('\r')))
            password.chop(1);
        // Bytes no one types (a file piped by mistake) are refused rather than stored.
        constexpr int maxPassword = 256;
        if (password.size() > maxPassword) {
            err << tr("A password is %1 characters at most.").arg(maxPassword) << '\n';
            return Usage;
        }
        for (const QChar c : qAsConst(password)) {
            if (c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter) {
                err << tr("A password is a line of text without control characters.") << '\n';
                return Usage;
            }
        }
        const int result = write(name, password, err);
        if (result == Success)
            out << (password.isEmpty() ? tr("Password %1 cleared.") : tr("Password %1 set."))
                       .arg(name)
                << '\n';
        return result;
    }

    if (key->kind == Kind::Secret) {
        err << tr("%1 is a password: set it with config set-password %1, which reads it from "
                  "standard input.")
                   .arg(name)
            << '\n';
        return Usage;
    }
    const QString text = arguments.at(2);
    const SettingKeys::Verdict verdict = SettingKeys::check(*key, text);
    if (!verdict.ok) {
        err << tr("%1 takes %2, not '%3'.").arg(name, SettingKeys::takes(*key, true), text) << '\n';
        return Usage;
    }
    // A list as the text the screens write too.
    return write(name,
                 SettingKeys::isList(key->kind) ? QVariant(SettingKeys::text(verdict.value))
                                                : verdict.value,
                 err);
}
