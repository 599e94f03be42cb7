// The screenshot walk of the demo: every page, side list, tab and pop-up of the real window,
// once per language, written as pictures of the whole window.
#include "qmlpagehost.h"
#include "screenshotwalker.h"
#include "testroot.h"
#include "xvfbdisplay.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestScreenshotWalker : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

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
        const QStringList fr =
            QDir(out.filePath("fr_FR")).entryList({"*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(fr, en);
        // The five pages with the device tabs and the side lists, and the window's pop-ups.
        for (const char *name :
             {"01-device-1.png", "05-device-5.png", "06-schedule-task.png", "-control.png",
              "-settings-1.png", "popup-current-alarm.png", "shutdown-dialog.png"}) {
            const QString file = QString::fromLatin1(name);
            QVERIFY2(std::any_of(en.begin(), en.end(),
                                 [&](const QString &f) { return f.endsWith(file); }),
                     qPrintable(file + " in " + en.join(' ')));
        }
        QVERIFY(std::any_of(en.begin(), en.end(),
                            [](const QString &f) { return f.contains("history-4"); }));
        for (const QString &file : en) {
            const QImage image(out.filePath("en/" + file));
            QCOMPARE(image.size(), QSize(1024, 680) * host.view()->devicePixelRatio());
        }
        // A pop-up shot shows the dimmed window, a page shot does not: they differ.
        const QString alarm = *std::find_if(en.begin(), en.end(), [](const QString &f) {
            return f.endsWith("popup-current-alarm.png");
        });
        QVERIFY(QImage(out.filePath("en/" + alarm)) != QImage(out.filePath("en/01-device-1.png")));
        // The pop-ups of the e-mail sub-page are shot over that sub-page, open.
        const auto shotOf = [&en, &out](const QString &end) {
            const auto it = std::find_if(en.begin(), en.end(),
                                         [&end](const QString &f) { return f.endsWith(end); });
            return it == en.end() ? QImage() : QImage(out.filePath("en/" + *it));
        };
        // A pop-up dims what lies under it.
        const auto lightness = [](const QImage &image) {
            qint64 sum = 0, count = 0;
            for (int y = 0; y < image.height(); y += 4)
                for (int x = 0; x < image.width(); x += 4, ++count)
                    sum += qGray(image.pixel(x, y));
            return count ? double(sum) / count : 0.0;
        };
        const QImage page = shotOf("settings-2.png");
        for (const char *popup :
             {"settings-popup-set-e-mail-sender.png", "settings-popup-add-e-mail-user.png"}) {
            const QImage shot = shotOf(QLatin1String(popup));
            QVERIFY2(!shot.isNull(), popup);
            QVERIFY2(lightness(shot) < 0.85 * lightness(page), popup);
        }

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
