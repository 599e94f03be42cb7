#pragma once

#include <QObject>
#include <QScopedPointer>
#include <functional>

class QQuickView;
class ScreenshotWalkerPrivate;

// Renders every page and pop-up of the loaded window to PNG files, then ends the program: the
// demo's "--screenshots DIR" mode, built into the demo tool quelta-screenshots only.
//
// It walks what the screens publish: the root's "currentTab" (the five pages), every item whose
// objectName ends in "Tabs" or "SubPages" and has "currentIndex" and "count" (tabs and side
// lists of a page), and every item whose objectName begins with "popup" or "dialog" and has
// open() and close() functions.
class ScreenshotWalker : public QObject
{
    Q_OBJECT
public:
    ScreenshotWalker(QQuickView *view, const QString &folder, QObject *parent = nullptr);
    ~ScreenshotWalker() override;

    // Shoots everything once per language, into a subfolder of that name, after `apply` has
    // switched to it. Without languages everything is shot once, into the folder itself.
    void addLanguage(const QString &name, const std::function<void()> &apply);

    // Runs once the walk is over, before the program is told to end.
    void setFinished(const std::function<void()> &finished);

    // How long each change gets to settle before a shot, and how many such pauses a UPS gets to
    // come online before the first shot.
    void setPace(int settleMs, int linkWaits);

    // Starts the walk; the application exits with 0 when every file is written, 1 otherwise.
    void start();

private slots:
    void onStep();

private:
    QScopedPointer<ScreenshotWalkerPrivate> d;
};
