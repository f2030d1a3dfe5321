#pragma once

#include "platform/GlobalHotKeys.h"
#include "platform/x11/X11Connection.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>

#include <functional>
#include <optional>

namespace tamo::x11 {

// Passive key grabs on the root window. The grab is made once for every
// combination of the lock modifiers (Caps, Num, Scroll Lock) so the shortcut
// works whatever lock is on.
class X11GlobalHotKeys final : public GlobalHotKeys, private QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit X11GlobalHotKeys(const X11Connection &connection, QObject *parent = nullptr);
    ~X11GlobalHotKeys() override;

    bool registerHotKey(int slot, int keyCode, int carbonModifiers) override;
    void unregisterHotKey(int slot) override;

    // Runs `typeKeys`, which types these keys through XTest, with the
    // shortcuts on any of them let go, so that the keys reach the window with
    // the focus even when they make one of our shortcuts.
    void letThrough(const QList<quint8> &keycodes, const std::function<void()> &typeKeys);

private:
    struct Grab
    {
        quint8 keycode = 0;
        quint16 modifiers = 0;
        quint16 lockMasks = 0;
        QList<quint16> lockVariants;
    };

    bool grabKeys(const Grab &grab);
    void ungrabKeys(const Grab &grab);
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // The key of the last shortcut pressed, and when it was let go.
    struct HeldKey
    {
        quint8 keycode = 0;
        std::optional<quint32> releasedAt;
    };

    X11Connection m_connection;
    QHash<int, Grab> m_grabs;
    HeldKey m_held;
};

} // namespace tamo::x11
