#include "platform/ui/qt/DesktopSources.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <xcb/composite.h>
#include <xcb/xcb.h>

namespace platform::ui::qt {

namespace {
    const QString kScreenPrefix = QStringLiteral("screen:");
    const QString kWindowPrefix = QStringLiteral("window:");
    // An 8K picture; a window any larger (X allows 32767 a side) would make its grab gigabytes.
    constexpr qint64 kMaxGrabPixels = 7680LL * 4320;

    template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

    template <typename Reply> ReplyPtr<Reply> Own(Reply* reply) { return ReplyPtr<Reply>(reply, &std::free); }

    xcb_connection_t* Connection()
    {
        auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        return x11 ? x11->connection() : nullptr;
    }

    xcb_window_t Root(xcb_connection_t* connection)
    {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        return screen ? screen->root : xcb_window_t(XCB_WINDOW_NONE);
    }

    // Asked of the server once: the names are the same for as long as Qt's connection lasts.
    xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
    {
        static std::map<std::string, xcb_atom_t> known;
        auto it = known.find(name);
        if (it != known.end())
            return it->second;
        auto reply = Own(xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(qstrlen(name)), name), nullptr));
        if (!reply)
            return XCB_ATOM_NONE;
        known[name] = reply->atom;
        return reply->atom;
    }

    // A property's value; at most 1 MiB of it, as a window's title or list never needs more.
    QByteArray Property(
        xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
    {
        if (property == XCB_ATOM_NONE)
            return {};
        auto reply = Own(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, property, type, 0, 1 << 18), nullptr));
        if (!reply || reply->type != type)
            return {};
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
            xcb_get_property_value_length(reply.get()));
    }

    std::vector<xcb_window_t> Windows(const QByteArray& value)
    {
        std::vector<xcb_window_t> windows(static_cast<size_t>(value.size()) / sizeof(xcb_window_t));
        if (!windows.empty())
            memcpy(windows.data(), value.constData(), windows.size() * sizeof(xcb_window_t));
        return windows;
    }

    QString Title(xcb_connection_t* connection, xcb_window_t window)
    {
        const QByteArray utf8
            = Property(connection, window, Atom(connection, "_NET_WM_NAME"), Atom(connection, "UTF8_STRING"));
        if (!utf8.isEmpty())
            return QString::fromUtf8(utf8).trimmed();
        return QString::fromLatin1(Property(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING)).trimmed();
    }

    // Bottom to top, as X stacks them.
    std::vector<xcb_window_t> StackedWindows(xcb_connection_t* connection)
    {
        const xcb_window_t root = Root(connection);
        std::vector<xcb_window_t> managed = Windows(
            Property(connection, root, Atom(connection, "_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW));
        if (managed.empty())
            managed
                = Windows(Property(connection, root, Atom(connection, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW));
        if (!managed.empty())
            return managed;
        auto tree = Own(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
        std::vector<xcb_window_t> mapped;
        if (!tree)
            return mapped;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            auto attributes = Own(xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, children[i]), nullptr));
            if (attributes && !attributes->override_redirect
                && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
                mapped.push_back(children[i]);
        }
        return mapped;
    }

    // Redirection, and naming a redirected window's pixmap, came with version 0.2.
    bool CanRedirect(xcb_connection_t* connection)
    {
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_composite_id);
        if (!extension || !extension->present)
            return false;
        auto version = Own(xcb_composite_query_version_reply(
            connection, xcb_composite_query_version(connection, 0, 2), nullptr));
        return version && (version->major_version > 0 || version->minor_version >= 2);
    }

    bool WindowExists(xcb_connection_t* connection, xcb_window_t window)
    {
        return Own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr))
            != nullptr;
    }

    QString ScreenName(int index, const QScreen* screen, int count)
    {
        if (count == 1)
            return QStringLiteral("整个屏幕");
        return QStringLiteral("屏幕 %1（%2×%3）")
            .arg(index + 1)
            .arg(screen->geometry().width())
            .arg(screen->geometry().height());
    }
}

bool IsXWaylandServer()
{
    xcb_connection_t* connection = Connection();
    if (!connection)
        return false;
    static const char kExtension[] = "XWAYLAND";
    auto reply = Own(xcb_query_extension_reply(
        connection, xcb_query_extension(connection, sizeof kExtension - 1, kExtension), nullptr));
    return reply && reply->present;
}

std::vector<DesktopSource> ListDesktopSources(size_t limit)
{
    std::vector<DesktopSource> sources;
    const auto screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size() && sources.size() < limit; ++i)
        sources.push_back({ kScreenPrefix + QString::number(i),
            ScreenName(i, screens[i], static_cast<int>(screens.size())) });
    xcb_connection_t* connection = Connection();
    if (!connection)
        return sources;
    const std::vector<xcb_window_t> stacked = StackedWindows(connection);
    for (auto it = stacked.rbegin(); it != stacked.rend() && sources.size() < limit; ++it) {
        const QString title = Title(connection, *it);
        if (!title.isEmpty())
            sources.push_back({ kWindowPrefix + QString::number(*it), title });
    }
    return sources;
}

DesktopCapture::DesktopCapture(const QString& id)
{
    bool ok = false;
    if (id.startsWith(kScreenPrefix)) {
        const int index = id.mid(kScreenPrefix.size()).toInt(&ok);
        if (ok && index >= 0 && index < QGuiApplication::screens().size())
            screen = index;
        return;
    }
    xcb_connection_t* connection = Connection();
    const auto id32 = id.startsWith(kWindowPrefix) ? id.mid(kWindowPrefix.size()).toUInt(&ok) : 0u;
    if (!ok || !connection || !WindowExists(connection, id32))
        return;
    window = id32;
    if (!CanRedirect(connection))
        return;
    // Checked, so that a failure (the window went meanwhile) is ours to handle, not Qt's to log.
    xcb_generic_error_t* error = xcb_request_check(connection,
        xcb_composite_redirect_window_checked(connection, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC));
    redirected = error == nullptr;
    std::free(error);
}

DesktopCapture::~DesktopCapture()
{
    xcb_connection_t* connection = Connection();
    if (redirected && connection)
        std::free(xcb_request_check(connection,
            xcb_composite_unredirect_window_checked(connection, window, XCB_COMPOSITE_REDIRECT_AUTOMATIC)));
}

DesktopFrame DesktopCapture::Grab() const
{
    if (screen >= 0)
        return GrabScreen();
    if (window)
        return GrabWindow();
    return { QImage(), true };
}

DesktopFrame DesktopCapture::GrabScreen() const
{
    const auto screens = QGuiApplication::screens();
    if (screen >= screens.size())
        return { QImage(), true };
    return { screens[screen]->grabWindow(0).toImage(), false };
}

DesktopFrame DesktopCapture::GrabWindow() const
{
    xcb_connection_t* connection = Connection();
    if (!connection)
        return { QImage(), true };
    auto geometry = Own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!geometry)
        return { QImage(), true };
    if (qint64(geometry->width) * geometry->height > kMaxGrabPixels)
        return { QImage(), false };
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const bool plainPixels = (geometry->depth == 24 || geometry->depth == 32)
        && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (!redirected || !plainPixels) {
        const auto screens = QGuiApplication::screens();
        return { screens.isEmpty() ? QImage() : screens.first()->grabWindow(window).toImage(), false };
    }
    // The window's own pixels, kept by the server while it is redirected; none while it is unmapped.
    const xcb_pixmap_t pixmap = xcb_generate_id(connection);
    xcb_generic_error_t* error
        = xcb_request_check(connection, xcb_composite_name_window_pixmap_checked(connection, window, pixmap));
    if (error) {
        std::free(error);
        return { QImage(), false };
    }
    const int border = geometry->border_width;
    auto image = Own(xcb_get_image_reply(connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, static_cast<int16_t>(border),
            static_cast<int16_t>(border), geometry->width, geometry->height, ~0u),
        &error));
    std::free(error);
    xcb_free_pixmap(connection, pixmap);
    const int width = geometry->width;
    const int height = geometry->height;
    if (!image || width <= 0 || height <= 0 || xcb_get_image_data_length(image.get()) < width * height * 4)
        return { QImage(), false };
    // Both depths come as 32-bit pixels; the alpha of a translucent window's is not shown.
    auto* data = xcb_get_image_data(image.get());
    xcb_get_image_reply_t* reply = image.release();
    return { QImage(data, width, height, static_cast<qsizetype>(width) * 4, QImage::Format_RGB32, &std::free,
                 reply),
        false };
}

} // namespace platform::ui::qt
