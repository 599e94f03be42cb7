#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <xcb/xcb.h>

// Makes windows on an X display for a test, as applications and a window manager would.
class TestWindows
{
public:
    explicit TestWindows(const QString &display);
    ~TestWindows();
    TestWindows(const TestWindows &) = delete;
    TestWindows &operator=(const TestWindows &) = delete;

    bool isConnected() const;

    // "instance\0class\0", the form of WM_CLASS.
    static QByteArray wmClass(const QByteArray &instance, const QByteArray &className);

    // A top-level window; an empty text leaves that property out. netName is UTF-8 (_NET_WM_NAME),
    // wmName Latin-1 (WM_NAME).
    xcb_window_t create(const QByteArray &wmClass, const QByteArray &netName,
                        const QByteArray &wmName, bool mapped = true);
    // _NET_CLIENT_LIST on the root window, as a window manager keeps it.
    void publishClientList(const QVector<xcb_window_t> &windows);
    // Waits until the server has handled every request so far.
    void sync();

private:
    xcb_atom_t atom(const char *name);
    void setText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                 const QByteArray &value);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_utf8String = 0;
    xcb_atom_t m_netWmName = 0;
    xcb_atom_t m_netClientList = 0;
};
