#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

namespace tamo {

// Runs an action once, right after the next frame of a widget is painted, or
// `latestMs` after it was armed when no frame comes (its window is not on
// screen): work the first frame of a panel does not need waits for it.
class AfterNextFrame : public QObject
{
public:
    static constexpr int defaultLatestMs = 100;

    AfterNextFrame(QWidget &painted, std::function<void()> action, int latestMs = defaultLatestMs);

    void arm();
    void cancel();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_action;
    int m_latestMs;
    QTimer m_timer;
};

} // namespace tamo
