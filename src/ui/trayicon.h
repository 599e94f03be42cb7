#pragma once

#include <QObject>
#include <QUrl>

#include <memory>

class QWindow;
class TrayIconPrivate;

// The window's icon in the system tray, with its menu ("Show", a cancel while one applies,
// "Quit") and its balloon messages, and where the window's close button sends the window.
// It goes into the tray only once its image is set, so the tray never holds an empty entry, and
// once the window it belongs to has drawn its first frame (or it is asked where a closed window
// goes, or to show a message).
// QML creates it and gives the words; the choices come back as signals.
class TrayIcon : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUrl iconSource READ iconSource WRITE setIconSource NOTIFY iconSourceChanged)
    Q_PROPERTY(QString tooltip READ tooltip WRITE setTooltip NOTIFY tooltipChanged)
    Q_PROPERTY(bool visible READ isVisible WRITE setVisible NOTIFY visibleChanged)
    Q_PROPERTY(QString showText READ showText WRITE setShowText NOTIFY menuChanged)
    Q_PROPERTY(QString quitText READ quitText WRITE setQuitText NOTIFY menuChanged)
    // The menu's cancel entry ("Cancel shutdown", ...); empty: not in the menu.
    Q_PROPERTY(QString cancelText READ cancelText WRITE setCancelText NOTIFY menuChanged)
    // The last balloon message asked for, "title: text" (a tray may show none, or be absent).
    Q_PROPERTY(QString lastMessage READ lastMessage NOTIFY messageShown)

public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    QUrl iconSource() const;
    void setIconSource(const QUrl &source);
    QString tooltip() const;
    void setTooltip(const QString &tooltip);
    bool isVisible() const;
    void setVisible(bool visible);
    QString showText() const;
    void setShowText(const QString &text);
    QString quitText() const;
    void setQuitText(const QString &text);
    QString cancelText() const;
    void setCancelText(const QString &text);
    QString lastMessage() const;

    // The close button: hidden when a tray shows this icon to bring it back, else minimised
    // (hidden, nothing on the screen would bring it back). The log says which.
    Q_INVOKABLE void closeWindow(QWindow *window);

    Q_INVOKABLE void showMessage(const QString &title, const QString &text, bool urgent,
                                 int milliseconds = 10000);

signals:
    void iconSourceChanged();
    void tooltipChanged();
    void visibleChanged();
    void menuChanged();
    void messageShown();
    void showRequested();
    void quitRequested();
    void cancelRequested();
    void doubleClicked();

private:
    std::unique_ptr<TrayIconPrivate> d;
};
