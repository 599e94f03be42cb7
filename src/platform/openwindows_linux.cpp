#include "platform.h"

#include "logcategories.h"

#include <QString>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <cstdlib>
#include <memory>

namespace {

// Enough for the longest kept title even at four bytes per character.
constexpr uint32_t titleLongs = 1024;
constexpr uint32_t classLongs = 512;

template<typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T> Reply<T> own(T *reply)
{
    return Reply<T>(reply, &std::free);
}

std::wstring cut(const QString &text, std::size_t length)
{
    std::wstring out = text.toStdWString();
    if (out.size() > length)
        out.resize(length);
    return out;
}

QString textOf(const xcb_get_property_reply_t *reply, xcb_atom_t utf8String)
{
    if (!reply || reply->format != 8)
        return QString();
    const auto *data = static_cast<const char *>(xcb_get_property_value(reply));
    int length = xcb_get_property_value_length(reply);
    // Some clients count a trailing terminator.
    while (length > 0 && data[length - 1] == '\0')
        --length;
    if (reply->type == utf8String)
        return QString::fromUtf8(data, length);
    // STRING is Latin-1; COMPOUND_TEXT is read the same way (its ASCII part is exact).
    return QString::fromLatin1(data, length);
}

// WM_CLASS holds "instance\0class\0"; the class part names the application.
QString classOf(const xcb_get_property_reply_t *reply)
{
    if (!reply || reply->format != 8)
        return QString();
    const auto *data = static_cast<const char *>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply);
    int start = 0;
    while (start < length && data[start] != '\0')
        ++start;
    ++start;
    int end = start;
    while (end < length && data[end] != '\0')
        ++end;
    if (start >= length)
        return QString();
    return QString::fromLatin1(data + start, end - start);
}

struct WindowCookies
{
    xcb_window_t window;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_property_cookie_t wmClass;
    xcb_get_property_cookie_t netName;
    xcb_get_property_cookie_t wmName;
};

std::vector<xcb_window_t> topLevelWindows(xcb_connection_t *connection, xcb_ewmh_connection_t *ewmh,
                                          int screen, xcb_window_t root)
{
    std::vector<xcb_window_t> windows;
    xcb_ewmh_get_windows_reply_t clients;
    if (ewmh &&
        xcb_ewmh_get_client_list_reply(ewmh, xcb_ewmh_get_client_list(ewmh, screen), &clients,
                                       nullptr)) {
        windows.assign(clients.windows, clients.windows + clients.windows_len);
        xcb_ewmh_get_windows_reply_wipe(&clients);
        return windows;
    }
    // No window manager: the children of the root are the top-level windows.
    auto tree = own(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (tree) {
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        windows.assign(children, children + xcb_query_tree_children_length(tree.get()));
    }
    return windows;
}

} // namespace

namespace platform {

WindowList openWindows()
{
    WindowList list;
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        qCInfo(lcPlatform) << "No X display; the list of open windows is empty";
        xcb_disconnect(connection);
        return list;
    }

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem) {
        qCWarning(lcPlatform) << "The X display has no screen" << screenNumber;
        xcb_disconnect(connection);
        return list;
    }
    const xcb_window_t root = screens.data->root;

    xcb_ewmh_connection_t ewmh;
    const bool haveEwmh =
        xcb_ewmh_init_atoms_replies(&ewmh, xcb_ewmh_init_atoms(connection, &ewmh), nullptr);
    if (!haveEwmh)
        qCWarning(lcPlatform) << "Cannot intern the EWMH atoms; window titles from WM_NAME only";
    const xcb_atom_t utf8String = haveEwmh ? ewmh.UTF8_STRING : xcb_atom_t(XCB_ATOM_NONE);

    const std::vector<xcb_window_t> windows =
        topLevelWindows(connection, haveEwmh ? &ewmh : nullptr, screenNumber, root);

    // Ask for everything first, then collect: one round trip instead of one per window.
    std::vector<WindowCookies> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows) {
        WindowCookies c;
        c.window = window;
        c.attributes = xcb_get_window_attributes(connection, window);
        c.wmClass = xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0,
                                     classLongs);
        if (haveEwmh)
            c.netName = xcb_get_property(connection, 0, window, ewmh._NET_WM_NAME, utf8String, 0,
                                         titleLongs);
        c.wmName = xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME,
                                    XCB_GET_PROPERTY_TYPE_ANY, 0, titleLongs);
        cookies.push_back(c);
    }

    for (const WindowCookies &c : cookies) {
        auto attributes = own(xcb_get_window_attributes_reply(connection, c.attributes, nullptr));
        auto wmClass = own(xcb_get_property_reply(connection, c.wmClass, nullptr));
        auto netName = haveEwmh ? own(xcb_get_property_reply(connection, c.netName, nullptr))
                                : own<xcb_get_property_reply_t>(nullptr);
        auto wmName = own(xcb_get_property_reply(connection, c.wmName, nullptr));

        // A window that vanished meanwhile has no attributes.
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        const QString className = classOf(wmClass.get());
        if (className.isEmpty())
            continue;
        QString title = textOf(netName.get(), utf8String);
        if (title.isEmpty())
            title = textOf(wmName.get(), utf8String);
        if (title.isEmpty())
            continue;
        list[cut(className, maxWindowClassLength)].push_back(cut(title, maxWindowTitleLength));
    }

    if (haveEwmh)
        xcb_ewmh_connection_wipe(&ewmh);
    xcb_disconnect(connection);
    return list;
}

} // namespace platform
