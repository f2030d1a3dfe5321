#include "platform/x11/X11Screens.h"

#include "platform/x11/X11Reply.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <xcb/randr.h>

namespace tamo::x11 {

namespace {

constexpr quint32 EdidLongs = 128; // 512 bytes: the base block and extensions

QList<QScreen *> primaryFirst()
{
    QList<QScreen *> screens = QGuiApplication::screens();
    QScreen *primary = QGuiApplication::primaryScreen();
    if (screens.removeOne(primary))
        screens.prepend(primary);
    return screens;
}

} // namespace

X11Screens::X11Screens(const X11Connection &connection, QObject *parent)
    : Screens(parent)
    , m_connection(connection)
    , m_properties(connection.xcb)
{
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watch(screen);
        noteChange();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &X11Screens::noteChange);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, &X11Screens::noteChange);
}

QList<ScreenInfo> X11Screens::screens() const
{
    const QList<QScreen *> qtScreens = primaryFirst();
    const ScreenGeometry converter = geometry();
    // Qt takes a single screen's available area from _NET_WORKAREA, which is
    // right there; across several it gives up.
    const bool fromStruts = m_connection.isValid() && qtScreens.size() > 1;
    const QSize root = fromStruts ? rootSize() : QSize();
    const QList<Strut> struts = fromStruts ? dockStruts(root) : QList<Strut>();

    QList<ScreenInfo> result;
    for (const QScreen *screen : qtScreens) {
        const Edid identity = edid(screen->name());
        ScreenInfo info;
        info.frame = converter.fromQt(QRectF(screen->geometry()));
        info.visibleFrame = converter.fromQt(
            QRectF(fromStruts ? visibleArea(screen, struts, root) : screen->availableGeometry()));
        info.scale = screen->devicePixelRatio();
        info.vendor = identity.vendor;
        info.model = identity.model;
        info.serial = identity.serial;
        info.name = identity.name.isEmpty() ? screen->name() : identity.name;
        result.append(info);
    }
    return result;
}

QPointF X11Screens::pointerLocation() const
{
    return geometry().fromQt(QPointF(QCursor::pos()));
}

ScreenGeometry X11Screens::geometry() const
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    return ScreenGeometry(primary ? QRectF(primary->geometry()) : QRectF());
}

void X11Screens::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &X11Screens::noteChange);
    connect(screen, &QScreen::availableGeometryChanged, this, &X11Screens::noteChange);
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, &X11Screens::noteChange);
}

// One change in the layout makes Qt emit several signals; listeners hear of
// it once.
void X11Screens::noteChange()
{
    m_edids.clear();
    if (m_changePending)
        return;
    m_changePending = true;
    QTimer::singleShot(0, this, [this] {
        m_changePending = false;
        emit screensChanged();
    });
}

QRect X11Screens::visibleArea(const QScreen *screen, const QList<Strut> &struts, const QSize &rootSize) const
{
    // Struts count device pixels. Qt keeps a screen's top-left in device
    // pixels and scales only its size.
    const QRect logical = screen->geometry();
    const qreal ratio = screen->devicePixelRatio();
    QRect area(logical.topLeft(), (QSizeF(logical.size()) * ratio).toSize());
    for (const Strut &strut : struts)
        area = strut.cut(area, rootSize);
    const QPointF offset = QPointF(area.topLeft() - logical.topLeft()) / ratio;
    return QRectF(QPointF(logical.topLeft()) + offset, QSizeF(area.size()) / ratio).toRect();
}

QList<Strut> X11Screens::dockStruts(const QSize &rootSize) const
{
    QList<Strut> struts;
    for (quint32 window : m_properties.numbers(m_connection.rootWindow, "_NET_CLIENT_LIST")) {
        QList<quint32> values = m_properties.numbers(window, "_NET_WM_STRUT_PARTIAL");
        if (values.isEmpty())
            values = m_properties.numbers(window, "_NET_WM_STRUT");
        if (!values.isEmpty())
            struts.append(Strut::fromProperty(values, rootSize));
    }
    return struts;
}

QSize X11Screens::rootSize() const
{
    // The connection setup holds the size at connect time; RandR may have
    // changed it since.
    const auto reply = replyTo<xcb_get_geometry_reply>(m_connection.xcb,
                                                        xcb_get_geometry(m_connection.xcb, m_connection.rootWindow));
    return reply ? QSize(reply->width, reply->height) : QSize();
}

Edid X11Screens::edid(const QString &outputName) const
{
    if (!m_connection.isValid())
        return {};
    const auto cached = m_edids.constFind(outputName);
    if (cached != m_edids.cend())
        return *cached;
    const Edid parsed = Edid::parse(readEdid(outputName));
    m_edids.insert(outputName, parsed);
    return parsed;
}

QByteArray X11Screens::readEdid(const QString &outputName) const
{
    xcb_connection_t *c = m_connection.xcb;
    const xcb_query_extension_reply_t *randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (!randr || !randr->present)
        return {};
    const auto resources = replyTo<xcb_randr_get_screen_resources_current_reply>(
        c, xcb_randr_get_screen_resources_current(c, m_connection.rootWindow));
    if (!resources)
        return {};
    const xcb_randr_output_t *outputs = xcb_randr_get_screen_resources_current_outputs(resources.get());
    const int count = xcb_randr_get_screen_resources_current_outputs_length(resources.get());
    for (int i = 0; i < count; ++i) {
        const auto info = replyTo<xcb_randr_get_output_info_reply>(
            c, xcb_randr_get_output_info(c, outputs[i], resources->config_timestamp));
        if (!info)
            continue;
        const QByteArray name(reinterpret_cast<const char *>(xcb_randr_get_output_info_name(info.get())),
                              xcb_randr_get_output_info_name_length(info.get()));
        if (QString::fromUtf8(name) != outputName)
            continue;
        const auto property = replyTo<xcb_randr_get_output_property_reply>(
            c, xcb_randr_get_output_property(c, outputs[i], m_properties.atom("EDID"), XCB_GET_PROPERTY_TYPE_ANY, 0,
                                             EdidLongs, false, false));
        if (!property)
            return {};
        return QByteArray(reinterpret_cast<const char *>(xcb_randr_get_output_property_data(property.get())),
                          xcb_randr_get_output_property_data_length(property.get()));
    }
    return {};
}

} // namespace tamo::x11
