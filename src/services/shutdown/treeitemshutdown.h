#pragma once

#include <QVariant>

class TreeItemShutdownPrivate;

// One node of the shutdown log tree: its column values, its parent and the children it owns.
class TreeItemShutdown
{
public:
    explicit TreeItemShutdown(const QVariantList &values, TreeItemShutdown *parent = nullptr);
    ~TreeItemShutdown(); // deletes the children
    TreeItemShutdown(const TreeItemShutdown &) = delete;
    TreeItemShutdown &operator=(const TreeItemShutdown &) = delete;

    // Takes ownership.
    void appendChild(TreeItemShutdown *child);
    void setValues(const QVariantList &values);

    TreeItemShutdown *child(int row) const;
    int childCount() const;
    int columnCount() const;
    QVariant value(int column) const;
    TreeItemShutdown *parentItem() const;
    // Position among the parent's children; 0 for the root.
    int row() const;

private:
    TreeItemShutdownPrivate *d;
};
