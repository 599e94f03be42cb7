// The list of open windows, read from a virtual X server holding windows we made.
#include "platform.h"
#include "xvfbdisplay.h"

#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

// Makes test windows on a display, as an application and a window manager would.
class Painter
{
public:
    explicit Painter(const QString &display)
    {
        connection = xcb_connect(display.toLatin1().constData(), nullptr);
        if (xcb_connection_has_error(connection))
            return;
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        utf8String = atom("UTF8_STRING");
        netWmName = atom("_NET_WM_NAME");
        netClientList = atom("_NET_CLIENT_LIST");
    }
    ~Painter() { xcb_disconnect(connection); }
    bool ok() const { return !xcb_connection_has_error(connection); }

    xcb_atom_t atom(const char *name)
    {
        auto *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, strlen(name), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return value;
    }

    // An empty text leaves the property out.
    xcb_window_t window(const QByteArray &wmClass, const QByteArray &netName,
                        const QByteArray &wmName, bool mapped = true)
    {
        const xcb_window_t id = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, id, root, 0, 0, 50, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (!wmClass.isEmpty())
            set(id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
        if (!netName.isEmpty())
            set(id, netWmName, utf8String, netName);
        if (!wmName.isEmpty())
            set(id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, wmName);
        if (mapped)
            xcb_map_window(connection, id);
        sync();
        return id;
    }

    void set(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const QByteArray &value)
    {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            value.size(), value.constData());
    }

    void publishClientList(const QVector<xcb_window_t> &windows)
    {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, root, netClientList, XCB_ATOM_WINDOW,
                            32, windows.size(), windows.constData());
        sync();
    }

    void sync()
    {
        free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t utf8String = 0;
    xcb_atom_t netWmName = 0;
    xcb_atom_t netClientList = 0;
};

QByteArray wmClass(const char *instance, const QByteArray &className)
{
    return QByteArray(instance) + '\0' + className + '\0';
}

std::wstring w(const QString &text)
{
    return text.toStdWString();
}

} // namespace

class TestOpenWindows : public QObject
{
    Q_OBJECT
private slots:
    void noDisplay();
    void windowsOfAnXServer();
};

void TestOpenWindows::noDisplay()
{
    const QByteArray saved = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    QVERIFY(platform::openWindows().empty());
    qputenv("DISPLAY", ":4093"); // nothing listens there
    QVERIFY(platform::openWindows().empty());
    qputenv("DISPLAY", saved);
}

void TestOpenWindows::windowsOfAnXServer()
{
    XvfbDisplay display;
    QVERIFY(display.isRunning());
    Painter painter(display.name());
    QVERIFY(painter.ok());
    qputenv("DISPLAY", display.name().toLatin1());

    QVERIFY(platform::openWindows().empty()); // a bare server has none

    const QString accented = QString::fromUtf8("Résumé.txt – Editor");
    const xcb_window_t first =
        painter.window(wmClass("editor", "Editor"), accented.toUtf8(), "ignored WM_NAME");
    // Latin-1 WM_NAME when there is no _NET_WM_NAME.
    const xcb_window_t second = painter.window(wmClass("editor", "Editor"), {}, "caf\xe9");
    painter.window(wmClass("term", "Term"), {}, {}); // no title
    painter.window({}, "no class", {}); // no class
    const xcb_window_t hidden = painter.window(wmClass("x", "Hidden"), "hidden", {}, false);
    const QByteArray longClass(300, 'C');
    const QString longTitle = QString(600, QChar(0x4e2d)); // multi-byte in UTF-8
    const xcb_window_t long1 = painter.window(wmClass("l", longClass), longTitle.toUtf8(), {});

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
