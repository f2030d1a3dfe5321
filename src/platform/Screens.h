#pragma once

#include "platform/ScreenGeometry.h"

#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>

#include <optional>

namespace tamo {

// One display. Frames use the ScreenGeometry convention (origin at the
// bottom-left of the primary screen, y up). Vendor, model and serial are the
// display's EDID numbers, 0 when it has none.
struct ScreenInfo
{
    QRectF frame;
    QRectF visibleFrame; // the frame less panels and docks
    qreal scale = 1.0;
    quint32 vendor = 0;
    quint32 model = 0;
    quint32 serial = 0;
    QString name;

    // Includes the upper edge and not the lower, as a pointer row at the very
    // top of a screen lies at frame.bottom() in this convention.
    bool containsPointer(const QPointF &point) const;

    bool operator==(const ScreenInfo &) const = default;
};

class Screens : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The primary screen first; empty only without any display.
    virtual QList<ScreenInfo> screens() const = 0;
    virtual QPointF pointerLocation() const = 0;
    // The conversion for the current layout.
    virtual ScreenGeometry geometry() const = 0;

    // The screen that holds the pointer, else the primary one.
    std::optional<ScreenInfo> screenUnderPointer() const;

signals:
    // Screens came or went, or a frame or visible frame changed.
    void screensChanged();
};

} // namespace tamo
