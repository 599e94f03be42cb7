#pragma once

#include <QAbstractItemModel>

class TreeModelShutdownPrivate;

// The application windows that were open at the last shutdown, read once from
// "/data/shutdown.log": one entry per window class ("app") with its window titles below
// ("window"). A newer log needs a new model.
class TreeModelShutdown : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Roles { AppRole = Qt::UserRole + 1, WindowRole };

    explicit TreeModelShutdown(QObject *parent = nullptr);
    ~TreeModelShutdown() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex index(int row, int column,
                      const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    void initTree();

    TreeModelShutdownPrivate *d;
};
