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
    // Hides the window, once faded out when `fading`: without a compositor a
    // transparent window still shows. A fade that `superseded` says a later
    // show or hide took over by its end leaves the window as it is.
    void hide(bool fading, int durationMs, std::function<bool()> superseded = {});

private:
    QWidget *m_window;
    QPointer<QParallelAnimationGroup> m_group;
};

} // namespace tamo
