#pragma once

#include <QWidget>

#include <functional>

namespace tamo {

class AppModel;

// A window that several places open (the personalisation window, the feature
// tour): made once and kept for the life of the process. Each open that is
// not already on screen gets fresh content; an action handed to an open runs
// once, after the window next closes.
class OnboardingWindow : public QWidget
{
    Q_OBJECT

public:
    using ContentFactory = std::function<QWidget *(std::function<void()> close)>;

    OnboardingWindow(const QString &title, QSize size, ContentFactory makeContent, QWidget *parent = nullptr);

    // Hides the app's panels, gives the window fresh content unless it is
    // on screen, and brings it to the front. `onClose` (may be empty)
    // replaces an action still waiting; without one, a waiting action stays.
    void present(AppModel &model, std::function<void()> onClose);

    QWidget *content() const { return m_content; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    ContentFactory m_makeContent;
    QWidget *m_content = nullptr;
    std::function<void()> m_pendingOnClose;
    bool m_placed = false;
};

} // namespace tamo
