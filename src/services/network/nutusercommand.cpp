#include "nutusercommand.h"

#include "nutaccountstore.h"

#include <QTextStream>

#include <algorithm>

namespace {

QString problem(NutAccountStore::Result result, const QString &name)
{
    switch (result) {
    case NutAccountStore::Done:
        return QString();
    case NutAccountStore::BadName:
        return NutUserCommand::tr(
            "A name is 1 to 32 letters, digits, dots, dashes or underscores.");
    case NutAccountStore::BadPassword:
        return NutUserCommand::tr("A password is 1 to 64 characters without blanks, quotes, "
                                  "backslashes or #.");
    case NutAccountStore::NoSuchAccount:
        return NutUserCommand::tr("There is no account %1.").arg(name);
    case NutAccountStore::WriteFailed:
        return NutUserCommand::tr("The configuration file could not be written.");
    }
    return QString();
}

} // namespace

int NutUserCommand::run(Settings *settings, const QString &action, const QStringList &names,
                        const QString &role, QTextStream &in, QTextStream &out, QTextStream &err)
{
    NutAccountStore store(settings);
    if (action == QLatin1String("list")) {
        if (!names.isEmpty()) {
            err << tr("--nut-user list takes no name.") << '\n';
            return Usage;
        }
        for (const NutAccount &account : store.accounts()) {
            out << QString::fromLatin1(account.name) << ' '
                << QString::fromLatin1(NutAccount::roleName(account.role)) << '\n';
        }
        return Success;
    }
    if ((action != QLatin1String("add") && action != QLatin1String("remove")) ||
        names.size() != 1) {
        err << tr("Use --nut-user add NAME --role monitor|admin, --nut-user remove NAME or "
                  "--nut-user list.")
            << '\n';
        return Usage;
    }
    const QString name = names.first();
    QString failure;
    if (action == QLatin1String("remove")) {
        failure = problem(store.remove(name.toUtf8()), name);
        if (failure.isEmpty())
            out << tr("Account %1 removed.").arg(name) << '\n';
    } else {
        NutAccount::Role r = NutAccount::Monitor;
        if (!NutAccount::roleFromName(role.toLatin1(), &r)) {
            err << tr("--nut-user add needs --role monitor or --role admin.") << '\n';
            return Usage;
        }
        // The first line of standard input, without its line end.
        QString password = in.readLine();
        if (password.endsWith(QLatin1Char('\r')))
            password.chop(1);
        const NutAccountList before = store.accounts();
        const bool existed = std::any_of(before.cbegin(), before.cend(), [&](const NutAccount &a) {
            return a.name == name.toUtf8();
        });
        failure = problem(store.setAccount(name.toUtf8(), r, password.toUtf8()), name);
        if (failure.isEmpty()) {
            out << (existed ? tr("Account %1 changed (%2).") : tr("Account %1 added (%2)."))
                       .arg(name, role)
                << '\n';
        }
    }
    if (!failure.isEmpty()) {
        err << failure << '\n';
        return Failure;
    }
    return Success;
}
