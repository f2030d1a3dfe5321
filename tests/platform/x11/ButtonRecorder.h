#pragma once

#include "RunCommand.h"

#include <QList>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <functional>

namespace tamo::testing {

// A window that notes which mouse button each press that reaches it carries.
class ButtonRecorder final : public QWidget
{
public:
    QList<Qt::MouseButton> pressed;

    // Shows the window with the pointer in its middle; false when it never showed.
    bool showUnderPointer()
    {
        setGeometry(100, 100, 200, 200);
        show();
        if (!QTest::qWaitForWindowExposed(this))
            return false;
        const QPoint centre = geometry().center();
        runCommand(QStringLiteral("xdotool mousemove %1 %2").arg(centre.x()).arg(centre.y()));
        return true;
    }

    // The button of the first press after `click`; none when no press came.
    Qt::MouseButton pressAfter(const std::function<void()> &click)
    {
        const qsizetype before = pressed.size();
        click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return pressed.size() > before; }, 5000));
        return pressed.value(before, Qt::NoButton);
    }

    bool hasPressesAfter(qsizetype count) const { return pressed.size() > count; }

protected:
    void mousePressEvent(QMouseEvent *event) override { pressed.append(event->button()); }
};

} // namespace tamo::testing
