#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <optional>

class QParallelAnimationGroup;
class QWidget;

namespace tamo {

// Moves a window and fades it together. Starting an animation stops the one
// still running, as a newer show or hide supersedes an older one; a stopped
// animation never reports that it finished.
class WindowAnimation : public QObject
{
    Q_OBJECT

public:
    explicit WindowAnimation(QWidget *window);

    // frame is in Qt's coordinates; nothing keeps the window where it is.
    void run(const std::optional<QRect> &frame, qreal opacity, int durationMs, const QEasingCurve &curve,
             std::function<void()> finished = {});
    void stop();
    bool isRunning() const;

private:
    QWidget *m_window;
    QPointer<QParallelAnimationGroup> m_group;
};

} // namespace tamo
