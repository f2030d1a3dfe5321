#include "drawer/WindowAnimation.h"

#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QWidget>

namespace tamo {

WindowAnimation::WindowAnimation(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

void WindowAnimation::run(const std::optional<QRect> &frame, qreal opacity, int durationMs, const QEasingCurve &curve,
                          std::function<void()> finished)
{
    stop();
    auto *group = new QParallelAnimationGroup(this);
    auto add = [&](const QByteArray &property, const QVariant &end) {
        auto *animation = new QPropertyAnimation(m_window, property, group);
        animation->setEndValue(end);
        animation->setDuration(durationMs);
        animation->setEasingCurve(curve);
        group->addAnimation(animation);
    };
    if (frame)
        add("geometry", *frame);
    add("windowOpacity", opacity);
    if (finished)
        connect(group, &QAbstractAnimation::finished, this, std::move(finished));
    m_group = group;
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void WindowAnimation::stop()
{
    if (QParallelAnimationGroup *group = m_group.data()) {
        m_group.clear();
        group->stop(); // and it deletes itself
    }
}

bool WindowAnimation::isRunning() const
{
    return m_group && m_group->state() == QAbstractAnimation::Running;
}

void WindowAnimation::hide(bool fading, int durationMs, std::function<bool()> superseded)
{
    if (!fading) {
        stop();
        m_window->hide();
        return;
    }
    run(std::nullopt, 0, durationMs, QEasingCurve::Linear, [this, superseded = std::move(superseded)] {
        if (!superseded || !superseded())
            m_window->hide();
    });
}

} // namespace tamo
