#include "treeitemshutdown.h"

#include <QVector>

class TreeItemShutdownPrivate
{
public:
    QVariantList values;
    TreeItemShutdown *parent = nullptr;
    QVector<TreeItemShutdown *> children;
};

TreeItemShutdown::TreeItemShutdown(const QVariantList &values, TreeItemShutdown *parent)
    : d(new TreeItemShutdownPrivate)
{
    d->values = values;
    d->parent = parent;
}

TreeItemShutdown::~TreeItemShutdown()
{
    qDeleteAll(d->children);
    delete d;
}

void TreeItemShutdown::appendChild(TreeItemShutdown *child)
{
    child->d->parent = this;
    d->children.append(child);
}

void TreeItemShutdown::setValues(const QVariantList &values)
{
    d->values = values;
}

TreeItemShutdown *TreeItemShutdown::child(int row) const
{
    return d->children.value(row, nullptr);
}

int TreeItemShutdown::childCount() const
{
    return d->children.size();
}

int TreeItemShutdown::columnCount() const
{
    return d->values.size();
}

QVariant TreeItemShutdown::value(int column) const
{
    return d->values.value(column);
}

TreeItemShutdown *TreeItemShutdown::parentItem() const
{
    return d->parent;
}

int TreeItemShutdown::row() const
{
    if (!d->parent)
        return 0;
    return d->parent->d->children.indexOf(const_cast<TreeItemShutdown *>(this));
}
