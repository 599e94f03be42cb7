#include "treemodelshutdown.h"

#include "logcategories.h"
#include "paths.h"
#include "treeitemshutdown.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

class TreeModelShutdownPrivate
{
public:
    TreeItemShutdown root {QVariantList()};

    TreeItemShutdown *itemOf(const QModelIndex &index)
    {
        return index.isValid() ? static_cast<TreeItemShutdown *>(index.internalPointer()) : &root;
    }
};

TreeModelShutdown::TreeModelShutdown(QObject *parent)
    : QAbstractItemModel(parent), d(new TreeModelShutdownPrivate)
{
    initTree();
}

TreeModelShutdown::~TreeModelShutdown()
{
    delete d;
}

void TreeModelShutdown::initTree()
{
    d->root.setValues({QStringLiteral("app"), QStringLiteral("windows")});

    // No log yet (never shut down by us): an empty tree, nothing to report.
    QFile file(Paths::file(QStringLiteral("/data/shutdown.log")));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = file.readAll();
    file.close();

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (document.isNull()) {
        qCWarning(lcServices) << "Failed to read shutdon log:" << error.errorString();
        return;
    }
    if (!document.isObject())
        qCWarning(lcServices) << "The shutdown log" << file.fileName()
                              << "holds no object of window classes; nothing to show";

    const QJsonObject classes = document.object();
    for (auto it = classes.constBegin(); it != classes.constEnd(); ++it) {
        auto *app = new TreeItemShutdown({it.key(), QString()});
        d->root.appendChild(app);
        if (!it.value().isArray())
            qCWarning(lcServices) << "The shutdown log lists no titles for" << it.key();
        const QJsonArray titles = it.value().toArray();
        for (const QJsonValue &title : titles) {
            if (!title.isString())
                qCWarning(lcServices) << "The shutdown log holds a title of" << it.key()
                                      << "that is not text:" << title;
            app->appendChild(new TreeItemShutdown({QString(), title.toString()}));
        }
    }
}

int TreeModelShutdown::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return d->itemOf(parent)->childCount();
}

int TreeModelShutdown::columnCount(const QModelIndex &parent) const
{
    return d->itemOf(parent)->columnCount();
}

QModelIndex TreeModelShutdown::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    TreeItemShutdown *child = d->itemOf(parent)->child(row);
    return child ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex TreeModelShutdown::parent(const QModelIndex &index) const
{
    if (!index.isValid())
        return QModelIndex();
    TreeItemShutdown *parentItem = d->itemOf(index)->parentItem();
    if (!parentItem || parentItem == &d->root)
        return QModelIndex();
    return createIndex(parentItem->row(), 0, parentItem);
}

QVariant TreeModelShutdown::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case AppRole:
        return d->itemOf(index)->value(0);
    case WindowRole:
        return d->itemOf(index)->value(1);
    default:
        return QVariant();
    }
}

Qt::ItemFlags TreeModelShutdown::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractItemModel::flags(index);
}

QHash<int, QByteArray> TreeModelShutdown::roleNames() const
{
    return {{AppRole, QByteArrayLiteral("app")}, {WindowRole, QByteArrayLiteral("window")}};
}
