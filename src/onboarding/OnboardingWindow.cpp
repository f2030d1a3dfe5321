#include "onboarding/OnboardingWindow.h"

#include "app/AppModel.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace tamo {

OnboardingWindow::OnboardingWindow(const QString &title, QSize size, ContentFactory makeContent, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_makeContent(std::move(makeContent))
{
    setWindowTitle(title);
    setAccessibleName(title);
    setFixedSize(size);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void OnboardingWindow::present(AppModel &model, std::function<void()> onClose)
{
    // No panel stays above the window.
    model.drawer().hide(false);
    model.menuBar().hidePanel(false);
    if (onClose)
        m_pendingOnClose = std::move(onClose);
    if (!isVisible()) {
        delete m_content;
        m_content = m_makeContent([this] { close(); });
        layout()->addWidget(m_content);
    }
    if (!m_placed) {
        // Centred when made; later opens leave it where the user moved it.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

void OnboardingWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    // After the close has been delivered, and at most once per action.
    QTimer::singleShot(0, this, [this] {
        if (auto action = std::exchange(m_pendingOnClose, {}))
            action();
    });
}

} // namespace tamo
