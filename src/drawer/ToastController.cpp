#include "drawer/ToastController.h"

#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "drawer/NoticeCard.h"
#include "drawer/WindowAnimation.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"

#include <QVBoxLayout>
#include <QWidget>

#include <cmath>

namespace tamo {

namespace {

constexpr int fadeInMs = 150;
constexpr int fadeOutMs = 200;
constexpr qreal gapBelowTop = 24;

} // namespace

ToastController::ToastController(Defaults &defaults, Screens &screens, TimeScale timeScale, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_screens(screens)
    , m_timeScale(timeScale)
    // A tooltip-type window is never managed into focus and never activated.
    , m_panel(std::make_unique<QWidget>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                                                     | Qt::WindowTransparentForInput
                                                     | Qt::WindowDoesNotAcceptFocus))
    , m_card(new NoticeCard(m_panel.get()))
    , m_animation(new WindowAnimation(m_panel.get()))
{
    m_panel->setAttribute(Qt::WA_ShowWithoutActivating);
    m_panel->setAttribute(Qt::WA_TranslucentBackground, translucencyAvailable());
    auto *layout = new QVBoxLayout(m_panel.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_card);
    m_panel->resize(460, 150);
    m_shownDuringScreenSharing = m_defaults.boolValue(keys::showDuringScreenSharing);

    m_dismissTimer.setSingleShot(true);
    m_dismissTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_dismissTimer, &QTimer::timeout, this, &ToastController::dismiss);
}

ToastController::~ToastController() = default;

void ToastController::showPasteNotice(const QString &message)
{
    if (const auto notice = Notice::paste(currentPasteNotice(m_defaults), message))
        request(*notice);
}

void ToastController::showReadyToast(const QString &message)
{
    request(Notice::ready(message));
}

void ToastController::showToast(const QString &message, const QString &symbol)
{
    request(Notice::plain(message, symbol));
}

void ToastController::request(const Notice &notice)
{
    m_dismissTimer.stop();
    QTimer::singleShot(0, this, [this, notice] { present(notice); });
}

QRectF ToastController::frameOn(const ScreenInfo &screen, const QSizeF &cardSize)
{
    const qreal x = screen.frame.center().x() - cardSize.width() / 2;
    const qreal y = screen.visibleFrame.y() + screen.visibleFrame.height() - cardSize.height() - gapBelowTop;
    const qreal left = std::round(x);
    const qreal bottom = std::round(y);
    return {left, bottom, std::round(x + cardSize.width()) - left, std::round(y + cardSize.height()) - bottom};
}

void ToastController::present(const Notice &notice)
{
    const auto screen = m_screens.screenUnderPointer();
    if (!screen) {
        // The previous notice lost its fade-out to this request; let it go now.
        dismiss();
        return;
    }
    m_card->setNotice(notice);
    const QSize size = m_card->sizeHint();
    const QRect frame = m_screens.geometry().toQt(frameOn(*screen, size)).toRect();

    m_animation->stop();
    m_panel->setGeometry(frame);
    if (!m_panel->testAttribute(Qt::WA_TranslucentBackground)) // the corners cannot be see-through
        m_panel->setMask(QRegion(roundedRect(QRectF(QPointF(), frame.size()), m_card->cornerRadius())
                                     .toFillPolygon()
                                     .toPolygon()));
    m_panel->setWindowOpacity(0);
    m_panel->show();
    m_panel->raise();
    m_animation->run(std::nullopt, 1, m_timeScale(fadeInMs), QEasingCurve::Linear);
    m_dismissTimer.start(m_timeScale(notice.displayTimeMs()));
}

void ToastController::dismiss()
{
    if (!m_panel->isVisible())
        return;
    m_animation->hide(true, m_timeScale(fadeOutMs));
}

} // namespace tamo
