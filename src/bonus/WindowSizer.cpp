#include "bonus/WindowSizer.h"

#include "app/AppHooks.h"
#include "app/GlobalHotKeyRegistry.h"
#include "cards/ScreenCardSizes.h"
#include "cards/StoredEntries.h"
#include "model/SettingsKeys.h"
#include "platform/Accessibility.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"
#include "platform/WindowServer.h"

#include <QCollator>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace tamo {

namespace {

const QString nameField = QStringLiteral("name");
const QString widthField = QStringLiteral("width");
const QString heightField = QStringLiteral("height");
const QString windowWidthField = QStringLiteral("windowWidth");
const QString windowHeightField = QStringLiteral("windowHeight");
const QString capturedField = QStringLiteral("captured");
constexpr qreal tolerance = 2.0;
constexpr int pollMs = 30;

// Halves away from zero, as people round.
double rounded(double value)
{
    return std::round(value);
}

std::optional<QSizeF> entrySize(const QVariantMap &entry)
{
    const std::optional<double> width = storedNumber(entry, windowWidthField);
    const std::optional<double> height = storedNumber(entry, windowHeightField);
    return width && height ? std::optional(QSizeF(*width, *height)) : std::nullopt;
}

bool entryCaptured(const QVariantMap &entry)
{
    const QVariant value = entry.value(capturedField);
    return value.typeId() == QMetaType::Bool && value.toBool();
}

qreal intersectionArea(const QRectF &a, const QRectF &b)
{
    const QRectF common = a.intersected(b);
    return common.isEmpty() ? 0 : common.width() * common.height();
}

} // namespace

WindowSizer::WindowSizer(const Services &services, qint64 ownPid, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_ownPid(ownPid)
{
}

void WindowSizer::setEnabled(bool enabled, GlobalHotKeyRegistry &hotKeys)
{
    if (enabled) {
        hotKeys.setHandler(WindowSizerSlot, [this] { sizeFrontmostWindow(); });
        hotKeys.registerWindowSizerFromDefaults();
        if (m_enabled)
            return;
        m_enabled = true;
        if (const qint64 front = m_services.server->frontmostPid(); front && front != m_ownPid)
            m_lastOtherAppPid = front;
        m_activationWatch = connect(m_services.server, &WindowServer::activeWindowChanged, this, [this](qint64 pid) {
            if (pid && pid != m_ownPid)
                m_lastOtherAppPid = pid;
        });
        return;
    }
    hotKeys.unregister(WindowSizerSlot);
    hotKeys.setHandler(WindowSizerSlot, {});
    disconnect(m_activationWatch);
    m_enabled = false;
    m_lastOtherAppPid = 0;
}

void WindowSizer::notify(const QString &message)
{
    m_services.drawer->showToast(message, QStringLiteral("macwindow"));
}

void WindowSizer::sizeFrontmostWindow()
{
    if (!m_services.accessibility->isTrusted())
        return notify(QStringLiteral("Allow TamoCove in Accessibility"));
    WindowServer &server = *m_services.server;
    const qint64 front = server.frontmostPid();
    const quint32 window = front && front != m_ownPid ? server.focusedWindow(front) : 0;
    const std::optional<QRectF> frame = window ? server.frame(window) : std::nullopt;
    if (!frame)
        return notify(QStringLiteral("No window to size"));
    if (server.window(window).value_or(AppWindow()).fullScreen)
        return notify(QStringLiteral("Exit full screen first"));
    const std::optional<ScreenInfo> screen = screenForWindow(*frame);
    if (!screen)
        return notify(QStringLiteral("No window to size"));
    const QRectF target = targetFrame(*screen);
    if (framesMatch(*frame, target))
        return notify(QStringLiteral("Window already in place"));
    server.setFrame(window, target);
    checkOutcome(window, *frame, target, 0);
}

void WindowSizer::checkOutcome(quint32 window, const QRectF &before, const QRectF &target, int waitedMs)
{
    // The window manager applies the frame in its own time: wait until the
    // window reaches the target or the manager had its chance.
    const QRectF now = m_services.server->frame(window).value_or(before);
    if (!framesMatch(now, target) && waitedMs < settleMs) {
        QTimer::singleShot(pollMs, this,
                           [this, window, before, target, waitedMs] { checkOutcome(window, before, target, waitedMs + pollMs); });
        return;
    }
    // A window that only moved counts as resized.
    notify(framesMatch(now, before) ? QStringLiteral("This window can't be resized") : QStringLiteral("Window resized"));
}

bool WindowSizer::framesMatch(const QRectF &a, const QRectF &b)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance
           && std::abs(a.width() - b.width()) <= tolerance && std::abs(a.height() - b.height()) <= tolerance;
}

QVariantMap WindowSizer::storedSizes() const
{
    return m_services.defaults->dictionary(keys::windowSizes);
}

QSizeF WindowSizer::sizeForScreen(const ScreenInfo &screen)
{
    if (const auto entry = storedEntry(storedSizes(), ScreenCardSizes::screenID(screen))) {
        if (const std::optional<QSizeF> size = entrySize(*entry))
            return *size;
    }
    const QRectF visible = screen.visibleFrame;
    const QSizeF fitted(std::max(visible.width() - 360, visible.width() * 0.5), visible.height());
    saveSize(false, screen, fitted.width(), fitted.height());
    return fitted;
}

QRectF WindowSizer::targetFrame(const ScreenInfo &screen)
{
    const QRectF visible = screen.visibleFrame;
    const QSizeF size = sizeForScreen(screen);
    const qreal width = std::min(visible.width(), size.width());
    const qreal height = std::min(visible.height(), size.height());
    // Centred across the whole screen, and down the part windows may use.
    qreal x = std::max(visible.left(), screen.frame.center().x() - width / 2);
    x = std::min(visible.right() - width, x);
    const qreal y = visible.center().y() - height / 2;
    return QRectF(rounded(x), rounded(y), rounded(width), rounded(height));
}

std::optional<ScreenInfo> WindowSizer::screenForWindow(const QRectF &frame) const
{
    const QList<ScreenInfo> all = m_services.screens->screens();
    for (const ScreenInfo &screen : all) {
        if (screen.frame.contains(frame.center()))
            return screen;
    }
    const auto most = std::max_element(all.cbegin(), all.cend(), [&frame](const ScreenInfo &a, const ScreenInfo &b) {
        return intersectionArea(a.frame, frame) < intersectionArea(b.frame, frame);
    });
    return most == all.cend() ? std::nullopt : std::optional(*most);
}

void WindowSizer::saveSize(bool captured, const ScreenInfo &screen, double width, double height)
{
    QVariantMap all = storedSizes();
    all.insert(ScreenCardSizes::screenID(screen),
               QVariantMap{{nameField, screen.name},
                           {widthField, int(screen.frame.width())},
                           {heightField, int(screen.frame.height())},
                           {windowWidthField, rounded(width)},
                           {windowHeightField, rounded(height)},
                           {capturedField, captured}});
    m_services.defaults->setValue(keys::windowSizes, all);
}

QList<WindowSizer::Screen> WindowSizer::screens() const
{
    const QVariantMap all = storedSizes();
    QList<Screen> connected, savedOnly;
    QSet<QString> connectedIDs;
    for (const ScreenInfo &info : m_services.screens->screens()) {
        Screen screen;
        screen.id = ScreenCardSizes::screenID(info);
        screen.name = info.name;
        screen.width = int(info.frame.width());
        screen.height = int(info.frame.height());
        const QVariantMap entry = storedEntry(all, screen.id).value_or(QVariantMap());
        screen.windowSize = entrySize(entry);
        screen.isCaptured = entryCaptured(entry);
        screen.isConnected = true;
        connectedIDs.insert(screen.id);
        connected.append(screen);
    }
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        const std::optional<QVariantMap> entry = storedEntry(all, it.key());
        if (connectedIDs.contains(it.key()) || !entry || entry->value(nameField).typeId() != QMetaType::QString)
            continue;
        Screen screen;
        screen.id = it.key();
        screen.name = entry->value(nameField).toString();
        screen.width = storedInteger(*entry, widthField);
        screen.height = storedInteger(*entry, heightField);
        screen.windowSize = entrySize(*entry);
        screen.isCaptured = entryCaptured(*entry);
        savedOnly.append(screen);
    }
    const QCollator collator = screenLabelCollator();
    const auto label = [](const Screen &screen) { return screenLabel(screen.name, screen.width, screen.height); };
    std::stable_sort(savedOnly.begin(), savedOnly.end(),
                     [&](const Screen &a, const Screen &b) { return collator.compare(label(a), label(b)) < 0; });
    return connected + savedOnly;
}

std::optional<QSizeF> WindowSizer::frontmostWindowSize(const ScreenInfo &screen) const
{
    const WindowServer &server = *m_services.server;
    QList<qint64> candidates;
    if (m_lastOtherAppPid)
        candidates.append(m_lastOtherAppPid);
    for (const ServerWindow &window : server.windowList(true)) {
        if (window.layer == 0 && window.pid != m_ownPid && !candidates.contains(window.pid))
            candidates.append(window.pid);
    }
    const QString id = ScreenCardSizes::screenID(screen);
    for (qint64 pid : std::as_const(candidates)) {
        const quint32 window = server.focusedWindow(pid);
        const std::optional<QRectF> frame = window ? server.frame(window) : std::nullopt;
        if (!frame)
            continue;
        const std::optional<ScreenInfo> on = screenForWindow(*frame);
        if (on && ScreenCardSizes::screenID(*on) == id)
            return frame->size();
    }
    return std::nullopt;
}

std::optional<QSizeF> WindowSizer::captureCurrentSize(const QString &screenID)
{
    if (!m_services.accessibility->isTrusted())
        return std::nullopt;
    for (const ScreenInfo &screen : m_services.screens->screens()) {
        if (ScreenCardSizes::screenID(screen) != screenID)
            continue;
        const std::optional<QSizeF> size = frontmostWindowSize(screen);
        if (size)
            saveSize(true, screen, size->width(), size->height());
        return size;
    }
    return std::nullopt;
}

void WindowSizer::forgetSize(const QString &screenID)
{
    QVariantMap all = storedSizes();
    all.remove(screenID);
    m_services.defaults->setValue(keys::windowSizes, all);
}

int WindowSizer::capturedCount() const
{
    const QVariantMap all = storedSizes();
    int count = 0;
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        count += entryCaptured(storedEntry(all, it.key()).value_or(QVariantMap())) ? 1 : 0;
    return count;
}

} // namespace tamo
