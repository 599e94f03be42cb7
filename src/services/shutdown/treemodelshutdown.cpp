#include "treemodelshutdown.h"

#include "logcategories.h"
#include "paths.h"
#include "threadinbox.h"
#include "treeitemshutdown.h"

#include <QThread>

class TreeModelShutdownPrivate
{
public:
    TreeItemShutdown root {QVariantList()};
    QThread *reader = nullptr;
    bool loaded = false;

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
    // The read is bounded; what it would hand over is dropped with the model.
    if (d->reader)
        d->reader->wait();
    delete d;
}

bool TreeModelShutdown::isLoaded() const
{
    return d->loaded;
}

// Read on a thread of its own, so a huge log never holds up the window or the first poll; the
// tree is filled when it is done.
void TreeModelShutdown::initTree()
{
    d->root.setValues({QStringLiteral("app"), QStringLiteral("windows")});
    const QString path = Paths::file(QStringLiteral("/data/shutdown.log"));
    auto *answer = new ThreadInbox(this);
    d->reader = QThread::create([this, path, answer] {
        const ShutdownLogReader::Classes classes = ShutdownLogReader::read(path);
        answer->post([this, answer, classes] {
            fill(classes);
            answer->deleteLater();
        });
    });
    d->reader->setObjectName(QStringLiteral("shutdownLogReader"));
    connect(d->reader, &QThread::finished, d->reader, &QObject::deleteLater);
    connect(d->reader, &QObject::destroyed, this, [this] { d->reader = nullptr; });
    d->reader->start();
}

void TreeModelShutdown::fill(const ShutdownLogReader::Classes &classes)
{
    beginResetModel();
    for (const auto &entry : classes) {
        auto *app = new TreeItemShutdown({entry.first, QString()});
        d->root.appendChild(app);
        for (const QString &title : entry.second)
            app->appendChild(new TreeItemShutdown({QString(), title}));
    }
    endResetModel();
    d->loaded = true;
    emit loaded();
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
