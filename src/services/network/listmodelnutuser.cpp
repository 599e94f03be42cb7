#include "listmodelnutuser.h"

#include "logcategories.h"
#include "nutaccountstore.h"
#include "settings.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

namespace {

enum Role { NameRole = Qt::UserRole, RoleRole };

bool sameAccounts(const NutAccountList &a, const NutAccountList &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].role != b[i].role ||
            a[i].passwordHash != b[i].passwordHash)
            return false;
    }
    return true;
}

} // namespace

class ListModelNutUserPrivate
{
public:
    explicit ListModelNutUserPrivate(Settings *settings) : settings(settings), store(settings) { }

    QString problem(NutAccountStore::Result result) const;
    void watch();

    Settings *settings;
    NutAccountStore store;
    NutAccountList accounts;
    QFileSystemWatcher watcher;
};

ListModelNutUser::ListModelNutUser(Settings *settings, QObject *parent)
    : QAbstractListModel(parent), d(new ListModelNutUserPrivate(settings))
{
    // The settings facility replaces the file on every write, so its folder is watched too.
    connect(&d->watcher, &QFileSystemWatcher::fileChanged, this, [this] { reload(); });
    connect(&d->watcher, &QFileSystemWatcher::directoryChanged, this, [this] { reload(); });
}

ListModelNutUser::~ListModelNutUser()
{
    delete d;
}

int ListModelNutUser::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->accounts.size();
}

QVariant ListModelNutUser::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= d->accounts.size())
        return QVariant();
    const NutAccount &account = d->accounts.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return QString::fromLatin1(account.name);
    case RoleRole:
        return QString::fromLatin1(NutAccount::roleName(account.role));
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ListModelNutUser::roleNames() const
{
    return {{NameRole, "name"}, {RoleRole, "role"}};
}

QString ListModelNutUser::addUser(const QString &name, const QString &role, const QString &password)
{
    NutAccount::Role r = NutAccount::Monitor;
    if (!NutAccount::roleFromName(role.toLatin1(), &r))
        return tr("Choose a role: monitor or admin.");
    for (const NutAccount &account : qAsConst(d->accounts)) {
        if (account.name == name.toUtf8())
            return tr("An account of this name exists already.");
    }
    const QString problem = d->problem(d->store.setAccount(name.toUtf8(), r, password.toUtf8()));
    reload();
    return problem;
}

QString ListModelNutUser::updateUser(int row, const QString &role, const QString &password)
{
    if (row < 0 || row >= d->accounts.size())
        return tr("This account no longer exists.");
    NutAccount::Role r = NutAccount::Monitor;
    if (!NutAccount::roleFromName(role.toLatin1(), &r))
        return tr("Choose a role: monitor or admin.");
    const QByteArray name = d->accounts.at(row).name;
    const NutAccountStore::Result result = password.isEmpty()
        ? d->store.setRole(name, r)
        : d->store.setAccount(name, r, password.toUtf8());
    const QString problem = d->problem(result);
    reload();
    return problem;
}

QString ListModelNutUser::delUser(int row)
{
    if (row < 0 || row >= d->accounts.size())
        return tr("This account no longer exists.");
    const QString problem = d->problem(d->store.remove(d->accounts.at(row).name));
    reload();
    return problem;
}

QVariantMap ListModelNutUser::get(int row) const
{
    if (row < 0 || row >= d->accounts.size())
        return {};
    return {{QStringLiteral("name"), QString::fromLatin1(d->accounts.at(row).name)},
            {QStringLiteral("role"),
             QString::fromLatin1(NutAccount::roleName(d->accounts.at(row).role))}};
}

NutAccountList ListModelNutUser::accounts() const
{
    return d->accounts;
}

void ListModelNutUser::reload()
{
    d->watch();
    const NutAccountList fresh = d->store.accounts();
    if (sameAccounts(fresh, d->accounts))
        return;
    beginResetModel();
    d->accounts = fresh;
    endResetModel();
    qCInfo(lcNetwork) << "Network accounts now:" << d->accounts.size();
    emit accountsChanged();
}

bool ListModelNutUser::replaceAll(const NutAccountList &accounts)
{
    const bool done = d->store.replaceAll(accounts) == NutAccountStore::Done;
    if (!done)
        qCWarning(lcNetwork) << "The network accounts could not be replaced";
    reload();
    return done;
}

QString ListModelNutUserPrivate::problem(NutAccountStore::Result result) const
{
    switch (result) {
    case NutAccountStore::Done:
        return QString();
    case NutAccountStore::BadName:
        return ListModelNutUser::tr(
            "A name is 1 to 32 letters, digits, dots, dashes or underscores.");
    case NutAccountStore::BadPassword:
        return ListModelNutUser::tr("A password is 1 to 64 characters without blanks, quotes, "
                                    "backslashes or #.");
    case NutAccountStore::NoSuchAccount:
        return ListModelNutUser::tr("This account no longer exists.");
    case NutAccountStore::WriteFailed:
        return ListModelNutUser::tr("The configuration file could not be written.");
    }
    return QString();
}

void ListModelNutUserPrivate::watch()
{
    // A replaced file drops out of the watch; take it up again.
    // The file is known once the settings were loaded.
    const QString path = settings->fileName();
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) && !watcher.files().contains(path))
        watcher.addPath(path);
    const QString folder = QFileInfo(path).absolutePath();
    if (!watcher.directories().contains(folder))
        watcher.addPath(folder);
}
