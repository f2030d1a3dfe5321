#pragma once

#include "platform/KeyboardLayouts.h"
#include "platform/XkbLayoutNames.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

namespace tamo::x11 {

// XKB layout groups: the layouts of the display's rule names (what
// setxkbmap or the desktop configured), the locked group as the current one.
class X11KeyboardLayouts final : public KeyboardLayouts
{
public:
    explicit X11KeyboardLayouts(const X11Connection &connection);

    QList<KeyboardLayout> layouts() const override;
    QString currentLayoutID() const override;
    int select(const QString &id) override;
    bool followsWindowLayout() const override;
    QString keyLeftOfOne() const override;

private:
    QStringList layoutIDs() const;

    X11Connection m_connection;
    X11Properties m_properties;
    XkbLayoutNames m_names;
    bool m_hasXkb = false;
};

} // namespace tamo::x11
