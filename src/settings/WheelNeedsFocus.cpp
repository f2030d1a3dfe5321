#include "settings/WheelNeedsFocus.h"

#include <QEvent>
#include <QWidget>

namespace tamo {

namespace {

class WheelNeedsFocus final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget *>(watched)->hasFocus())
            return false;
        // Ignored, the turn goes on to the parents and scrolls the page.
        event->ignore();
        return true;
    }
};

} // namespace

void takeWheelOnlyWithFocus(QWidget *control)
{
    control->setFocusPolicy(Qt::StrongFocus);
    control->installEventFilter(new WheelNeedsFocus(control));
}

} // namespace tamo
