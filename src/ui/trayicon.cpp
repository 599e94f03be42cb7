#include "trayicon.h"

#include "firstframe.h"
#include "logcategories.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

class TrayIconPrivate
{
public:
    void waitForFrame();
    void realise();
    void update();

    TrayIcon *q = nullptr;
    // Made (a child of q) once the window has drawn its first frame: asking the desktop for its
    // tray and reading the image are not what that frame waits for.
    QSystemTrayIcon *tray = nullptr;
    QMenu menu;
    QAction *show = nullptr;
    QAction *cancel = nullptr;
    QAction *quit = nullptr;
    QUrl source;
    QString tooltip;
    bool visible = false;
    bool waiting = false;
    QList<QMetaObject::Connection> frameWatch;
    QString lastMessage;
};

namespace {

QString localName(const QUrl &url)
{
    if (url.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + url.path();
    return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

// Long enough for any first frame; a window that draws none still gets its way back.
constexpr int longestFirstFrameMs = 2000;

} // namespace

// Until the item it belongs to is in a window that has drawn once; at once without such an item.
void TrayIconPrivate::waitForFrame()
{
    if (waiting || tray)
        return;
    waiting = true;
    auto *item = qobject_cast<QQuickItem *>(q->parent());
    if (!item) {
        QTimer::singleShot(0, q, [this] { realise(); });
        return;
    }
    QTimer::singleShot(longestFirstFrameMs, q, [this] { realise(); });
    const auto follow = [this](QQuickWindow *window) {
        if (window)
            afterFrameDrawn(window, q, [this] { realise(); });
    };
    if (item->window())
        follow(item->window());
    else
        frameWatch << QObject::connect(item, &QQuickItem::windowChanged, q, follow);
}

void TrayIconPrivate::realise()
{
    if (tray)
        return;
    for (const QMetaObject::Connection &watch : qAsConst(frameWatch))
        QObject::disconnect(watch);
    frameWatch.clear();
    tray = new QSystemTrayIcon(q);
    tray->setContextMenu(&menu);
    tray->setToolTip(tooltip);
    QObject::connect(tray, &QSystemTrayIcon::activated, q,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::DoubleClick)
                             emit q->doubleClicked();
                     });
    if (!source.isEmpty()) {
        const QIcon icon(localName(source));
        if (icon.isNull() || icon.availableSizes().isEmpty())
            qCWarning(lcInterface) << "Tray image missing:" << source;
        tray->setIcon(icon);
    }
    update();
}

// In the tray while visible and given an image, never before.
void TrayIconPrivate::update()
{
    if (!tray) {
        if (visible && !source.isEmpty())
            waitForFrame();
        return;
    }
    const bool shown = visible && !tray->icon().isNull();
    if (tray->isVisible() != shown)
        tray->setVisible(shown);
}

TrayIcon::TrayIcon(QObject *parent) : QObject(parent), d(new TrayIconPrivate)
{
    d->q = this;
    d->show = d->menu.addAction(QString());
    d->cancel = d->menu.addAction(QString());
    d->cancel->setVisible(false);
    d->menu.addSeparator();
    d->quit = d->menu.addAction(QString());
    connect(d->show, &QAction::triggered, this, &TrayIcon::showRequested);
    connect(d->quit, &QAction::triggered, this, &TrayIcon::quitRequested);
    connect(d->cancel, &QAction::triggered, this, &TrayIcon::cancelRequested);
}

TrayIcon::~TrayIcon() = default;

QUrl TrayIcon::iconSource() const
{
    return d->source;
}

void TrayIcon::setIconSource(const QUrl &source)
{
    if (source == d->source)
        return;
    d->source = source;
    if (d->tray) {
        const QIcon icon(localName(source));
        if (icon.isNull() || icon.availableSizes().isEmpty())
            qCWarning(lcInterface) << "Tray image missing:" << source;
        d->tray->setIcon(icon);
    }
    d->update();
    emit iconSourceChanged();
}

QString TrayIcon::tooltip() const
{
    return d->tooltip;
}

void TrayIcon::setTooltip(const QString &tooltip)
{
    if (tooltip == d->tooltip)
        return;
    d->tooltip = tooltip;
    if (d->tray)
        d->tray->setToolTip(tooltip);
    emit tooltipChanged();
}

bool TrayIcon::isVisible() const
{
    return d->visible;
}

void TrayIcon::setVisible(bool visible)
{
    if (visible == d->visible)
        return;
    d->visible = visible;
    d->update();
    emit visibleChanged();
}

QString TrayIcon::showText() const
{
    return d->show->text();
}

void TrayIcon::setShowText(const QString &text)
{
    d->show->setText(text);
    emit menuChanged();
}

QString TrayIcon::quitText() const
{
    return d->quit->text();
}

void TrayIcon::setQuitText(const QString &text)
{
    d->quit->setText(text);
    emit menuChanged();
}

QString TrayIcon::cancelText() const
{
    return d->cancel->isVisible() ? d->cancel->text() : QString();
}

void TrayIcon::setCancelText(const QString &text)
{
    if (text == cancelText())
        return;
    d->cancel->setText(text);
    d->cancel->setVisible(!text.isEmpty());
    emit menuChanged();
}

void TrayIcon::closeWindow(QWindow *window)
{
    if (!window)
        return;
    // Clicked before the first frame's tray icon was made: it is made now, to tell.
    if (d->visible && !d->source.isEmpty())
        d->realise();
    if (d->tray && d->tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable()) {
        qCInfo(lcInterface) << "Close button: the window is hidden; the tray icon brings it back";
        window->hide();
        return;
    }
    qCInfo(lcInterface) << "Close button: no system tray to bring the window back; the window is"
                           " minimised instead of hidden";
    window->showMinimized();
}

QString TrayIcon::lastMessage() const
{
    return d->lastMessage;
}

void TrayIcon::showMessage(const QString &title, const QString &text, bool urgent, int milliseconds)
{
    d->lastMessage = title + QStringLiteral(": ") + text;
    if (d->visible && !d->source.isEmpty())
        d->realise();
    if (d->tray && d->tray->isVisible() && QSystemTrayIcon::supportsMessages())
        d->tray->showMessage(title, text,
                             urgent ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information,
                             milliseconds);
    emit messageShown();
}
