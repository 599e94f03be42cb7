#include "upsoverview.h"

#include "devstatusview.h"
#include "watchedups.h"
#include "watchservice.h"

UpsOverview::UpsOverview(QObject *parent) : QObject(parent) { }

void UpsOverview::setWatch(WatchService *watch)
{
    if (watch == m_watch)
        return;
    if (m_watch)
        m_watch->disconnect(this);
    m_watch = watch;
    if (watch)
        connect(watch, &WatchService::unitsChanged, this, &UpsOverview::rebuild);
    rebuild();
}

void UpsOverview::setLocal(DevStatusView *local)
{
    if (local == m_local)
        return;
    if (m_local)
        m_local->disconnect(this);
    m_local = local;
    if (local)
        connect(local, &DevStatusView::statusChanged, this, &UpsOverview::judge);
    emit cardsChanged();
    judge();
}

QVariantList UpsOverview::cards() const
{
    QVariantList list;
    for (DevStatusView *card : m_cards)
        list.append(QVariant::fromValue(static_cast<QObject *>(card)));
    return list;
}

void UpsOverview::rebuild()
{
    const QList<DevStatusView *> old = m_cards;
    m_cards.clear();
    if (m_watch) {
        for (WatchedUps *unit : m_watch->units()) {
            auto *card = new DevStatusView(this);
            card->setName(unit->name());
            card->setWatched(unit);
            connect(card, &DevStatusView::statusChanged, this, &UpsOverview::judge);
            m_cards.append(card);
        }
    }
    emit cardsChanged();
    // The screens may still hold the old cards until they rebind.
    for (DevStatusView *card : old)
        card->deleteLater();
    judge();
}

void UpsOverview::judge()
{
    int worst = m_local ? m_local->upsState() : DevStatusView::UpsWaiting;
    for (DevStatusView *card : qAsConst(m_cards))
        worst = qMax(worst, card->upsState());
    if (worst == m_worst)
        return;
    m_worst = worst;
    emit worstChanged();
}
