#include "drawer/AfterNextFrame.h"

#include <QEvent>
#include <QWidget>

namespace tamo {

AfterNextFrame::AfterNextFrame(QWidget &painted, std::function<void()> action, int latestMs)
    : QObject(&painted)
    , m_action(std::move(action))
    , m_latestMs(latestMs)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_action(); });
    painted.installEventFilter(this);
}

void AfterNextFrame::arm()
{
    m_timer.start(m_latestMs);
}

void AfterNextFrame::cancel()
{
    m_timer.stop();
}

bool AfterNextFrame::eventFilter(QObject *, QEvent *event)
{
    // Painting is under way: the action runs once this frame is out.
    if (event->type() == QEvent::Paint && m_timer.isActive())
        m_timer.start(0);
    return false;
}

} // namespace tamo
