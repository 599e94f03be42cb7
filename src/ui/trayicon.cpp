#include "trayicon.h"

#include "logcategories.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWindow>

class TrayIconPrivate
{
public:
    void update();

    TrayIcon *q = nullptr;
    QSystemTrayIcon tray;
    QMenu menu;
    QAction *show = nullptr;
    QAction *cancel = nullptr;
    QAction *quit = nullptr;
    QUrl source;
    bool visible = false;
    QString lastMessage;
};

// In the tray while visible and given an image, never before.
void TrayIconPrivate::update()
{
    const bool shown = visible && !tray.icon().isNull();
    if (tray.isVisible() != shown)
        tray.setVisible(shown);
}

namespace {

QString localName(const QUrl &url)
{
    if (url.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + url.path();
    return url.isLocalFile() ? url.toLocalFile() : url.toString();
}

} // namespace

TrayIcon::TrayIcon(QObject *parent) : QObject(parent), d(new TrayIconPrivate)
{
    d->q = this;
    d->show = d->menu.addAction(QString());
    d->cancel = d->menu.addAction(QString());
    d->cancel->setVisible(false);
    d->menu.addSeparator();
    d->quit = d->menu.addAction(QString());
    d->tray.setContextMenu(&d->menu);
    connect(d->show, &QAction::triggered, this, &TrayIcon::showRequested);
    connect(d->quit, &QAction::triggered, this, &TrayIcon::quitRequested);
    connect(d->cancel, &QAction::triggered, this, &TrayIcon::cancelRequested);
    connect(&d->tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    emit doubleClicked();
            });
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
    const QIcon icon(localName(source));
    if (icon.isNull() || icon.availableSizes().isEmpty())
        qCWarning(lcInterface) << "Tray image missing:" << source;
    d->tray.setIcon(icon);
    d->update();
    emit iconSourceChanged();
}

QString TrayIcon::tooltip() const
{
    return d->tray.toolTip();
}

void TrayIcon::setTooltip(const QString &tooltip)
{
    if (tooltip == d->tray.toolTip())
        return;
    d->tray.setToolTip(tooltip);
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
    if (d->tray.isVisible() && QSystemTrayIcon::isSystemTrayAvailable()) {
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
    if (d->tray.isVisible() && QSystemTrayIcon::supportsMessages())
        d->tray.showMessage(title, text,
                            urgent ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information,
                            milliseconds);
    emit messageShown();
}
