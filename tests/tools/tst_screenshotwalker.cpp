// ctest-needs: program
// ctest-links: quelta_screenshots
// The screenshot walk of the demo: every page, side list, tab and pop-up of the real window,
// once per language, written as pictures of the whole window.
#include "qmlpagehost.h"
#include "screenshotwalker.h"
#include "testroot.h"
#include "xvfbdisplay.h"

#include <QApplication>
#include <QImage>
#include <QQuickItem>
#include <QQuickView>
#include <QtTest>

class TestScreenshotWalker : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};

private slots:
    void everyScreenInEveryLanguage()
    {
        QmlPageHost host;
        QQuickItem *window = host.load(QStringLiteral("main.qml"), QSize(1024, 680));
        QVERIFY2(window, qPrintable(host.errors()));
        window->setProperty("currentTab", 3);

        QTemporaryDir out;
        auto *walker = new ScreenshotWalker(host.view(), out.path(), host.view());
        walker->setPace(30, 0);
        QStringList applied;
        for (const QString &language : {QStringLiteral("en"), QStringLiteral("fr_FR")})
            walker->addLanguage(language, [&applied, language] { applied << language; });

        QEventLoop loop;
        QTimer::singleShot(0, walker, &ScreenshotWalker::start);
        QTimer::singleShot(60000, &loop, [&loop] { loop.exit(2); });
        QCOMPARE(loop.exec(), 0);
        QCOMPARE(applied, QStringList({"en", "fr_FR"}));

        const QStringList en =
            QDir(out.filePath("en")).entryList({"*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(QDir(out.filePath("fr_FR")).entryList({"*.png"}, QDir::Files, QDir::Name), en);
        for (const QString &file : en)
            QCOMPARE(QImage(out.filePath("en/" + file)).size(),
                     QSize(1024, 680) * host.view()->devicePixelRatio());
        const auto shotOf = [&en, &out](const char *end) {
            const auto it = std::find_if(en.begin(), en.end(), [end](const QString &f) {
                return f.contains(QLatin1String(end));
            });
            return it == en.end() ? QImage() : QImage(out.filePath("en/" + *it));
        };
        // The five pages with the device tabs and the side lists, and the window's pop-ups.
        for (const char *name :
             {"01-device-1.png", "05-device-5.png", "06-schedule-task.png", "-control.png",
              "-settings-1.png", "history-4", "popup-current-alarm.png", "shutdown-dialog.png",
              "settings-2.png", "settings-popup-set-e-mail-sender.png",
              "settings-popup-add-e-mail-user.png"})
            QVERIFY2(!shotOf(name).isNull(), qPrintable(name + (" in " + en.join(' '))));
        // A pop-up dims what lies under it; the e-mail sub-page's pop-ups are shot over it, open.
        const auto lightness = [](const QImage &image) {
            qint64 sum = 0, count = 0;
            for (int y = 0; y < image.height(); y += 4)
                for (int x = 0; x < image.width(); x += 4, ++count)
                    sum += qGray(image.pixel(x, y));
            return count ? double(sum) / count : 0.0;
        };
        QVERIFY(lightness(shotOf("popup-current-alarm.png")) <
                0.85 * lightness(shotOf("01-device-1.png")));
        for (const char *popup :
             {"settings-popup-set-e-mail-sender.png", "settings-popup-add-e-mail-user.png"})
            QVERIFY2(lightness(shotOf(popup)) < 0.85 * lightness(shotOf("settings-2.png")), popup);

        // The walk leaves the window on its first page with every pop-up closed.
        QCOMPARE(window->property("currentTab").toInt(), 0);
        QVERIFY(!window->property("alarmPopup").value<QQuickItem *>()->isVisible());
        QVERIFY(!window->property("shutdownDialog").value<QQuickItem *>()->isVisible());
    }
};

// The offscreen platform cannot grab a window drawn by the software renderer; an X display of
// our own can, as under the demo.
int main(int argc, char *argv[])
{
    XvfbDisplay display;
    if (!display.isRunning()) {
        qWarning("no X server for the screenshot test");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("DISPLAY", display.name().toLatin1());
    QApplication app(argc, argv);
    TestScreenshotWalker test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_screenshotwalker.moc"
