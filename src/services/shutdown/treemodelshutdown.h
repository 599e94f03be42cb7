#pragma once

#include "shutdownlogreader.h"

#include <QAbstractItemModel>

class TreeModelShutdownPrivate;

// The application windows that were open at the last shutdown, read once from
// "/data/shutdown.log": one entry per window class ("app") with its window titles below
// ("window"). The log is read off the thread that made the model, at most its first megabyte;
// the model is empty until `loaded`. A newer log needs a new model.
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

    bool isLoaded() const;

signals:
    // The log was read and the tree filled (or left empty).
    void loaded();

private:
    void initTree();
    void fill(const ShutdownLogReader::Classes &classes);

    TreeModelShutdownPrivate *d;
};
