#pragma once

#include "platform/Edid.h"
#include "platform/Screens.h"
#include "platform/Strut.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <QHash>

class QScreen;

namespace tamo::x11 {

// Qt's screens in the layer's convention. With several monitors Qt reports
// each one's whole frame as available, so the visible frames come from the
// docks' struts instead; the EDID numbers come from the RandR outputs.
class X11Screens final : public Screens
{
    Q_OBJECT
public:
    explicit X11Screens(const X11Connection &connection, QObject *parent = nullptr);

    QList<ScreenInfo> screens() const override;
    QPointF pointerLocation() const override;
    ScreenGeometry geometry() const override;

private:
    void watch(QScreen *screen);
    void noteChange();
    QRect visibleArea(const QScreen *screen, const QList<Strut> &struts, const QSize &rootSize) const;
    QList<Strut> dockStruts(const QSize &rootSize) const;
    QSize rootSize() const;
    Edid edid(const QString &outputName) const;
    QByteArray readEdid(const QString &outputName) const;

    X11Connection m_connection;
    X11Properties m_properties;
    mutable QHash<QString, Edid> m_edids;
    bool m_changePending = false;
};

} // namespace tamo::x11
