// The list of open windows, read from a virtual X server holding windows we made.
#include "platform.h"
#include "testwindows.h"
#include "xvfbdisplay.h"

#include <QtTest>

namespace {

const auto wmClass = TestWindows::wmClass;

std::wstring w(const QString &text)
{
    return text.toStdWString();
}

} // namespace

class TestOpenWindows : public QObject
{
    Q_OBJECT
private slots:
    void windowsOfAnXServer();
};

void TestOpenWindows::windowsOfAnXServer()
{
    qunsetenv("DISPLAY");
    QVERIFY(platform::openWindows().empty());
    qputenv("DISPLAY", ":4093"); // nothing listens there
    QVERIFY(platform::openWindows().empty());

    XvfbDisplay display;
    QVERIFY(display.isRunning());
    TestWindows painter(display.name());
    QVERIFY(painter.isConnected());
    qputenv("DISPLAY", display.name().toLatin1());

    QVERIFY(platform::openWindows().empty()); // a bare server has none

    const QString accented = QString::fromUtf8("Résumé.txt – Editor");
    const xcb_window_t first =
        painter.create(wmClass("editor", "Editor"), accented.toUtf8(), "ignored WM_NAME");
    // Latin-1 WM_NAME when there is no _NET_WM_NAME.
    const xcb_window_t second = painter.create(wmClass("editor", "Editor"), {}, "caf\xe9");
    painter.create(wmClass("term", "Term"), {}, {}); // no title
    painter.create({}, "no class", {}); // no class
    const xcb_window_t hidden = painter.create(wmClass("x", "Hidden"), "hidden", {}, false);
    const QByteArray longClass(300, 'C');
    const QString longTitle = QString(600, QChar(0x4e2d)); // multi-byte in UTF-8
    const xcb_window_t long1 = painter.create(wmClass("l", longClass), longTitle.toUtf8(), {});

    // No window manager: the mapped children of the root, in stacking order.
    platform::WindowList expected = {
        {w("Editor"), {w(accented), w(QString::fromUtf8("café"))}},
        {w(QString(255, 'C')), {w(QString(511, QChar(0x4e2d)))}},
    };
    QCOMPARE(platform::openWindows(), expected);

    // With a window manager: only its client list counts, in its order; unmapped ones stay out.
    painter.publishClientList({second, hidden, first});
    expected = {{w("Editor"), {w(QString::fromUtf8("café")), w(accented)}}};
    QCOMPARE(platform::openWindows(), expected);

    // A client that is gone meanwhile is skipped.
    painter.publishClientList({0x7ffffff, long1});
    expected = {{w(QString(255, 'C')), {w(QString(511, QChar(0x4e2d)))}}};
    QCOMPARE(platform::openWindows(), expected);

    // A window manager with no clients.
    painter.publishClientList({});
    QVERIFY(platform::openWindows().empty());
}

QTEST_GUILESS_MAIN(TestOpenWindows)
#include "tst_openwindows.moc"
