#pragma once

#include "platform/Screens.h"

namespace tamo::testing {

// Screens laid out by the test, given in the layer's convention. The primary
// (first) screen sits at primaryQtOrigin in Qt's coordinates.
class FakeScreens final : public Screens
{
    Q_OBJECT
public:
    FakeScreens() : m_screens{oneScreen()} {}
    explicit FakeScreens(QList<ScreenInfo> screens) : m_screens(std::move(screens)) {}

    static ScreenInfo oneScreen(const QSizeF &size = {1920, 1080})
    {
        ScreenInfo screen;
        screen.frame = QRectF(QPointF(0, 0), size);
        screen.visibleFrame = screen.frame;
        screen.name = QStringLiteral("Fake Display");
        return screen;
    }

    QList<ScreenInfo> screens() const override { return m_screens; }
    QPointF pointerLocation() const override { return m_pointer; }
    ScreenGeometry geometry() const override
    {
        const QSizeF size = m_screens.isEmpty() ? QSizeF() : m_screens.first().frame.size();
        return ScreenGeometry(QRectF(m_primaryQtOrigin, size));
    }

    void setScreens(QList<ScreenInfo> screens)
    {
        m_screens = std::move(screens);
        emit screensChanged();
    }
    void setPointerLocation(const QPointF &location) { m_pointer = location; }
    void setPrimaryQtOrigin(const QPointF &origin) { m_primaryQtOrigin = origin; }

private:
    QList<ScreenInfo> m_screens;
    QPointF m_pointer;
    QPointF m_primaryQtOrigin;
};

} // namespace tamo::testing
