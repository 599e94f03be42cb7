#include "testwindows.h"

#include <cstdlib>
#include <cstring>

TestWindows::TestWindows(const QString &display)
{
    m_connection = xcb_connect(display.toLatin1().constData(), nullptr);
    if (!isConnected())
        return;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    m_utf8String = atom("UTF8_STRING");
    m_netWmName = atom("_NET_WM_NAME");
    m_netClientList = atom("_NET_CLIENT_LIST");
}

TestWindows::~TestWindows()
{
    xcb_disconnect(m_connection);
}

bool TestWindows::isConnected() const
{
    return m_connection && !xcb_connection_has_error(m_connection);
}

QByteArray TestWindows::wmClass(const QByteArray &instance, const QByteArray &className)
{
    return instance + '\0' + className + '\0';
}

xcb_atom_t TestWindows::atom(const char *name)
{
    auto *reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, strlen(name), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return value;
}

void TestWindows::setText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                          const QByteArray &value)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                        value.size(), value.constData());
}

xcb_window_t TestWindows::create(const QByteArray &wmClass, const QByteArray &netName,
                                 const QByteArray &wmName, bool mapped)
{
    const xcb_window_t id = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, id, m_root, 0, 0, 50, 50, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    if (!wmClass.isEmpty())
        setText(id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
    if (!netName.isEmpty())
        setText(id, m_netWmName, m_utf8String, netName);
    if (!wmName.isEmpty())
        setText(id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, wmName);
    if (mapped)
        xcb_map_window(m_connection, id);
    sync();
    return id;
}

void TestWindows::publishClientList(const QVector<xcb_window_t> &windows)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, m_netClientList,
                        XCB_ATOM_WINDOW, 32, windows.size(), windows.constData());
    sync();
}

void TestWindows::sync()
{
    free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}
