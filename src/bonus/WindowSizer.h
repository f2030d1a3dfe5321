#pragma once

#include "app/AppHooks.h"

#include <QObject>
#include <QRectF>
#include <QSizeF>
#include <QVariantMap>

#include <optional>

namespace tamo {

class Accessibility;
class Defaults;
class DrawerPanel;
class GlobalHotKeyRegistry;
class Screens;
class WindowServer;
struct ScreenInfo;

// Gives the front window the size saved for its screen, or a size fitted to
// the screen, centred; every outcome shows a notice. Sizes are saved per
// screen in "windowSizes", captured from a real window or stored fitted on
// the first use on a screen.
class WindowSizer : public QObject
{
    Q_OBJECT
public:
    // One row of the settings list.
    using Screen = WindowSizerScreen;

    struct Services
    {
        WindowServer *server = nullptr;
        const Accessibility *accessibility = nullptr;
        Defaults *defaults = nullptr;
        const Screens *screens = nullptr;
        DrawerPanel *drawer = nullptr;
    };

    // How long a window manager gets to apply a new frame before the sizer
    // decides it was refused.
    static constexpr int settleMs = 600;

    WindowSizer(const Services &services, qint64 ownPid, QObject *parent = nullptr);

    void setEnabled(bool enabled, GlobalHotKeyRegistry &hotKeys);
    bool isEnabled() const { return m_enabled; }
    // The hot key's action; its outcome is the notice.
    void sizeFrontmostWindow();

    // Connected screens first, then the saved ones no longer attached.
    QList<Screen> screens() const;
    std::optional<QSizeF> captureCurrentSize(const QString &screenID);
    void forgetSize(const QString &screenID);
    int capturedCount() const;

    // Geometry, in the Screens convention.
    QSizeF sizeForScreen(const ScreenInfo &screen);
    QRectF targetFrame(const ScreenInfo &screen);
    static bool framesMatch(const QRectF &a, const QRectF &b);
    std::optional<ScreenInfo> screenForWindow(const QRectF &frame) const;

private:
    // The entries that read as dictionaries; others are left alone, not lost.
    QVariantMap storedSizes() const;
    void saveSize(bool captured, const ScreenInfo &screen, double width, double height);
    std::optional<QSizeF> frontmostWindowSize(const ScreenInfo &screen) const;
    void checkOutcome(quint32 window, const QRectF &before, const QRectF &target, int waitedMs);
    void notify(const QString &message);

    Services m_services;
    qint64 m_ownPid;
    bool m_enabled = false;
    qint64 m_lastOtherAppPid = 0;
    QMetaObject::Connection m_activationWatch;
};

} // namespace tamo
