#pragma once

#include "devstatusview.h"
#include "watchservice.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>

// The overview of every UPS: this computer's (`local`, the view the device page uses) and a
// status view per watched UPS, each a card; `worst` is the most severe state of them all
// (DevStatusView::UpsCondition), for the header and the tray.
class UpsOverview : public QObject
{
    Q_OBJECT
    Q_PROPERTY(WatchService *watch READ watch WRITE setWatch NOTIFY cardsChanged)
    Q_PROPERTY(DevStatusView *local READ local WRITE setLocal NOTIFY cardsChanged)
    // A DevStatusView per watched UPS, in the order of the list.
    Q_PROPERTY(QVariantList cards READ cards NOTIFY cardsChanged)
    Q_PROPERTY(int worst READ worst NOTIFY worstChanged)
    // The watched UPS in that state, when this computer's UPS is not: its shown name.
    Q_PROPERTY(QString worstName READ worstName NOTIFY worstChanged)
    // The view of the UPS in that state (this computer's where it is as bad), for its words.
    Q_PROPERTY(DevStatusView *worstStatus READ worstStatus NOTIFY worstChanged)

public:
    explicit UpsOverview(QObject *parent = nullptr);

    WatchService *watch() const { return m_watch; }
    void setWatch(WatchService *watch);
    DevStatusView *local() const { return m_local; }
    void setLocal(DevStatusView *local);
    QVariantList cards() const;
    int worst() const { return m_worst; }
    QString worstName() const { return m_worstName; }
    DevStatusView *worstStatus() const { return m_worstStatus; }

signals:
    void cardsChanged();
    void worstChanged();

private:
    void rebuild();
    void judge();

    QPointer<WatchService> m_watch;
    QPointer<DevStatusView> m_local;
    QList<DevStatusView *> m_cards;
    int m_worst = 0;
    QString m_worstName;
    QPointer<DevStatusView> m_worstStatus;
};
