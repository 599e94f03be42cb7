#include "platform.h"

#include "logcategories.h"

#include <QString>

#include <xcb/xcb.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

namespace {

// Enough for the longest kept title even at four bytes per character.
constexpr uint32_t titleLongs = 1024;
constexpr uint32_t classLongs = 512;
// The longest client list read: far more windows than any desktop holds.
constexpr uint32_t clientLongs = 65536;

// libxcb, opened where an X display is named: the service program runs without one and so
// never needs the library, and links no X library at all.
struct Xcb
{
    decltype(&xcb_connect) connect;
    decltype(&xcb_connection_has_error) connectionHasError;
    decltype(&xcb_disconnect) disconnect;
    decltype(&xcb_get_setup) getSetup;
    decltype(&xcb_setup_roots_iterator) setupRootsIterator;
    decltype(&xcb_screen_next) screenNext;
    decltype(&xcb_intern_atom) internAtom;
    decltype(&xcb_intern_atom_reply) internAtomReply;
    decltype(&xcb_query_tree) queryTree;
    decltype(&xcb_query_tree_reply) queryTreeReply;
    decltype(&xcb_query_tree_children) queryTreeChildren;
    decltype(&xcb_query_tree_children_length) queryTreeChildrenLength;
    decltype(&xcb_get_window_attributes) getWindowAttributes;
    decltype(&xcb_get_window_attributes_reply) getWindowAttributesReply;
    decltype(&xcb_get_property) getProperty;
    decltype(&xcb_get_property_reply) getPropertyReply;
    decltype(&xcb_get_property_value) getPropertyValue;
    decltype(&xcb_get_property_value_length) getPropertyValueLength;
};

template<typename F> bool resolve(void *library, const char *name, F *function)
{
    *function = reinterpret_cast<F>(dlsym(library, name));
    return *function != nullptr;
}

// Null when the library or one of its functions is missing; tried once per process.
const Xcb *loadXcb()
{
    static Xcb xcb;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] {
        void *library = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            qCWarning(lcPlatform).noquote()
                << "The X library libxcb.so.1 cannot be loaded ("
                << QString::fromLocal8Bit(dlerror()) << "); the list of open windows is empty";
            return;
        }
        loaded = resolve(library, "xcb_connect", &xcb.connect) &&
            resolve(library, "xcb_connection_has_error", &xcb.connectionHasError) &&
            resolve(library, "xcb_disconnect", &xcb.disconnect) &&
            resolve(library, "xcb_get_setup", &xcb.getSetup) &&
            resolve(library, "xcb_setup_roots_iterator", &xcb.setupRootsIterator) &&
            resolve(library, "xcb_screen_next", &xcb.screenNext) &&
            resolve(library, "xcb_intern_atom", &xcb.internAtom) &&
            resolve(library, "xcb_intern_atom_reply", &xcb.internAtomReply) &&
            resolve(library, "xcb_query_tree", &xcb.queryTree) &&
            resolve(library, "xcb_query_tree_reply", &xcb.queryTreeReply) &&
            resolve(library, "xcb_query_tree_children", &xcb.queryTreeChildren) &&
            resolve(library, "xcb_query_tree_children_length", &xcb.queryTreeChildrenLength) &&
            resolve(library, "xcb_get_window_attributes", &xcb.getWindowAttributes) &&
            resolve(library, "xcb_get_window_attributes_reply", &xcb.getWindowAttributesReply) &&
            resolve(library, "xcb_get_property", &xcb.getProperty) &&
            resolve(library, "xcb_get_property_reply", &xcb.getPropertyReply) &&
            resolve(library, "xcb_get_property_value", &xcb.getPropertyValue) &&
            resolve(library, "xcb_get_property_value_length", &xcb.getPropertyValueLength);
        if (!loaded)
            qCWarning(lcPlatform) << "The X library libxcb.so.1 lacks a function; the list of "
                                     "open windows is empty";
    });
    return loaded ? &xcb : nullptr;
}

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

class Display
{
public:
    explicit Display(const Xcb &xcb) : x(xcb) { }

    xcb_atom_t atom(xcb_connection_t *connection, const char *name) const
    {
        auto reply = own(x.internAtomReply(
            connection, x.internAtom(connection, 1, uint16_t(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    QString textOf(const xcb_get_property_reply_t *reply, xcb_atom_t utf8String) const
    {
        if (!reply || reply->format != 8)
            return QString();
        const auto *data = static_cast<const char *>(x.getPropertyValue(reply));
        int length = x.getPropertyValueLength(reply);
        // Some clients count a trailing terminator.
        while (length > 0 && data[length - 1] == '\0')
            --length;
        if (utf8String != XCB_ATOM_NONE && reply->type == utf8String)
            return QString::fromUtf8(data, length);
        // STRING is Latin-1; COMPOUND_TEXT is read the same way (its ASCII part is exact).
        return QString::fromLatin1(data, length);
    }

    // WM_CLASS holds "instance\0class\0"; the class part names the application.
    QString classOf(const xcb_get_property_reply_t *reply) const
    {
        if (!reply || reply->format != 8)
            return QString();
        const auto *data = static_cast<const char *>(x.getPropertyValue(reply));
        const int length = x.getPropertyValueLength(reply);
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

    // The window manager's client list when it publishes one; else the children of the root,
    // which are the top-level windows where no window manager runs.
    std::vector<xcb_window_t> topLevelWindows(xcb_connection_t *connection, xcb_window_t root,
                                              xcb_atom_t clientList) const
    {
        std::vector<xcb_window_t> windows;
        if (clientList != XCB_ATOM_NONE) {
            auto list = own(x.getPropertyReply(
                connection,
                x.getProperty(connection, 0, root, clientList, XCB_ATOM_WINDOW, 0, clientLongs),
                nullptr));
            if (list && list->type == XCB_ATOM_WINDOW && list->format == 32) {
                const auto *ids = static_cast<const xcb_window_t *>(x.getPropertyValue(list.get()));
                windows.assign(ids, ids + x.getPropertyValueLength(list.get()) / 4);
                return windows;
            }
        }
        auto tree = own(x.queryTreeReply(connection, x.queryTree(connection, root), nullptr));
        if (tree) {
            const xcb_window_t *children = x.queryTreeChildren(tree.get());
            windows.assign(children, children + x.queryTreeChildrenLength(tree.get()));
        }
        return windows;
    }

    const Xcb &x;
};

struct WindowCookies
{
    xcb_window_t window;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_property_cookie_t wmClass;
    xcb_get_property_cookie_t netName;
    xcb_get_property_cookie_t wmName;
};

} // namespace

namespace platform {

WindowList openWindows()
{
    WindowList list;
    const char *displayName = std::getenv("DISPLAY");
    if (!displayName || !*displayName) {
        qCInfo(lcPlatform) << "No X display; the list of open windows is empty";
        return list;
    }
    const Xcb *xcb = loadXcb();
    if (!xcb)
        return list;
    const Display d(*xcb);

    int screenNumber = 0;
    xcb_connection_t *connection = xcb->connect(nullptr, &screenNumber);
    if (xcb->connectionHasError(connection)) {
        qCInfo(lcPlatform) << "No X display; the list of open windows is empty";
        xcb->disconnect(connection);
        return list;
    }

    xcb_screen_iterator_t screens = xcb->setupRootsIterator(xcb->getSetup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb->screenNext(&screens);
    if (!screens.rem) {
        qCWarning(lcPlatform) << "The X display has no screen" << screenNumber;
        xcb->disconnect(connection);
        return list;
    }
    const xcb_window_t root = screens.data->root;

    // Atoms that exist only once a client named them: none here means no window manager.
    const xcb_atom_t clientList = d.atom(connection, "_NET_CLIENT_LIST");
    const xcb_atom_t netWmName = d.atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8String = d.atom(connection, "UTF8_STRING");

    const std::vector<xcb_window_t> windows = d.topLevelWindows(connection, root, clientList);

    // Ask for everything first, then collect: one round trip instead of one per window.
    std::vector<WindowCookies> cookies;
    cookies.reserve(windows.size());
    const bool haveNetName = netWmName != XCB_ATOM_NONE && utf8String != XCB_ATOM_NONE;
    for (xcb_window_t window : windows) {
        WindowCookies c {};
        c.window = window;
        c.attributes = xcb->getWindowAttributes(connection, window);
        c.wmClass = xcb->getProperty(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0,
                                     classLongs);
        if (haveNetName)
            c.netName =
                xcb->getProperty(connection, 0, window, netWmName, utf8String, 0, titleLongs);
        c.wmName = xcb->getProperty(connection, 0, window, XCB_ATOM_WM_NAME,
                                    XCB_GET_PROPERTY_TYPE_ANY, 0, titleLongs);
        cookies.push_back(c);
    }

    for (const WindowCookies &c : cookies) {
        auto attributes = own(xcb->getWindowAttributesReply(connection, c.attributes, nullptr));
        auto wmClass = own(xcb->getPropertyReply(connection, c.wmClass, nullptr));
        auto netName = haveNetName ? own(xcb->getPropertyReply(connection, c.netName, nullptr))
                                   : own<xcb_get_property_reply_t>(nullptr);
        auto wmName = own(xcb->getPropertyReply(connection, c.wmName, nullptr));

        // A window that vanished meanwhile has no attributes.
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        const QString className = d.classOf(wmClass.get());
        if (className.isEmpty())
            continue;
        QString title = d.textOf(netName.get(), utf8String);
        if (title.isEmpty())
            title = d.textOf(wmName.get(), utf8String);
        if (title.isEmpty())
            continue;
        list[cut(className, maxWindowClassLength)].push_back(cut(title, maxWindowTitleLength));
    }

    xcb->disconnect(connection);
    return list;
}

} // namespace platform
