#include "upsoverview.h"

#include "devstatusview.h"
#include "watchedups.h"
#include "watchservice.h"

#include <QHash>

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
    for (DevStatusView *card : qAsConst(m_cards))
        card->setDirectory(local ? local->directory() : nullptr);
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
    // A UPS still watched keeps its card: each server telling its list for the first time (twenty
    // at start-up with twenty servers) would otherwise make every card and its screen anew.
    QHash<WatchedUps *, DevStatusView *> kept;
    for (DevStatusView *card : qAsConst(m_cards)) {
        if (card->watched())
            kept.insert(card->watched(), card);
    }
    QList<DevStatusView *> cards;
    if (m_watch) {
        for (WatchedUps *unit : m_watch->units()) {
            if (DevStatusView *card = kept.take(unit)) {
                cards.append(card);
                continue;
            }
            auto *card = new DevStatusView(this);
            card->setName(unit->name());
            card->setWatched(unit);
            if (m_local)
                card->setDirectory(m_local->directory());
            connect(card, &DevStatusView::statusChanged, this, &UpsOverview::judge);
            cards.append(card);
        }
    }
    if (cards == m_cards)
        return;
    const QList<DevStatusView *> old = m_cards;
    m_cards = cards;
    emit cardsChanged();
    // The screens may still hold the old cards until they rebind.
    for (DevStatusView *card : old) {
        if (!m_cards.contains(card))
            card->deleteLater();
    }
    judge();
}

void UpsOverview::judge()
{
    int worst = m_local ? m_local->upsState() : DevStatusView::UpsWaiting;
    QString name;
    DevStatusView *status = m_local;
    for (DevStatusView *card : qAsConst(m_cards)) {
        if (card->upsState() > worst) {
            worst = card->upsState();
            name = card->name();
            status = card;
        }
    }
    if (worst == m_worst && name == m_worstName && status == m_worstStatus)
        return;
    m_worst = worst;
    m_worstName = name;
    m_worstStatus = status;
    emit worstChanged();
}
