#include "onboarding/FeatureTour.h"

#include "app/AppModel.h"
#include "model/SettingsKeys.h"
#include "onboarding/OnboardingStyle.h"
#include "onboarding/OnboardingWindow.h"
#include "onboarding/PageTransition.h"
#include "onboarding/ShortcutComparisonBar.h"
#include "platform/Defaults.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamo {

namespace {

constexpr double s = TourView::scale;
const QSize artSize(qRound(560 * s), qRound(320 * s));

int pageCount()
{
    return int(FeatureTourPages::pages().size());
}

} // namespace

TourView::TourView(const TourEnvironment &environment, std::function<void()> close, QWidget *parent)
    : QWidget(parent)
    , m_env(environment)
    , m_close(std::move(close))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addSpacing(artSize.height());

    m_bodyHolder = new QVBoxLayout;
    m_bodyHolder->setContentsMargins(qRound(40 * s), qRound(20 * s), qRound(40 * s), 0);
    layout->addLayout(m_bodyHolder);
    layout->addStretch(1);

    auto *pager = new QHBoxLayout;
    pager->setContentsMargins(qRound(22 * s), 0, qRound(22 * s), qRound(18 * s));
    m_dots = new PageDots({pageCount(), QSizeF(7 * s, 7 * s), 7 * s, 7 * s, 0.18, false}, QStringLiteral("Page"));
    pager->addWidget(m_dots);
    pager->addStretch(1);
    m_skip = new QPushButton(QStringLiteral("Skip"));
    m_skip->setFlat(true);
    OnboardingStyle::makeSecondary(m_skip);
    m_back = new QPushButton(QStringLiteral("Back"));
    m_next = new QPushButton(QStringLiteral("Next"));
    m_next->setDefault(true);
    m_next->setAutoDefault(true);
    m_next->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: none; border-radius: 6px;"
                                         " padding: 6px 16px; font-weight: 600; }")
                              .arg(OnboardingStyle::accent().name()));
    // A nested layout would take the column's zero spacing; spacers add
    // the buttons' trailing padding (no spacing is laid around a spacer).
    pager->setSpacing(qRound(8 * s));
    for (QPushButton *button : {m_skip, m_back, m_next}) {
        button->setFont(OnboardingStyle::font(13 * s, button == m_next ? QFont::DemiBold : QFont::Normal));
        button->setMinimumHeight(qRound(28 * s));
        button->setMinimumWidth(button == m_skip ? 0 : qRound(72 * s));
        pager->addWidget(button);
        if (button != m_next)
            pager->addSpacing(qRound((button == m_skip ? 10 : 4) * s));
    }
    layout->addLayout(pager);

    connect(m_skip, &QPushButton::clicked, this, [this] { setIndex(pageCount() - 1); });
    connect(m_back, &QPushButton::clicked, this, [this] { setIndex(m_index - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] {
        if (m_index == pageCount() - 1)
            m_close();
        else
            setIndex(m_index + 1);
    });
    setIndex(0);
}

void TourView::setIndex(int index)
{
    if (index < 0 || index >= pageCount())
        return;
    PageTransition::start(this, index > m_index);
    m_index = index;
    const TourPage &page = FeatureTourPages::pages()[index];
    delete m_body;
    m_body = new TourPageBody(page, m_env, s);
    m_bodyHolder->addWidget(m_body);

    delete m_comparison;
    m_comparison = nullptr;
    if (page.showsShortcutComparison) {
        m_comparison = new ShortcutComparisonBar(
            QStringLiteral("⇧⌘V"), ShortcutComparisonBar::recommended(m_env.model.bonusTools().keyLeftOfOne()), s, this);
        const int inset = qRound(28 * s);
        const int height = qRound(40 * s);
        m_comparison->setGeometry(inset, artSize.height() - qRound(14 * s) - height, artSize.width() - 2 * inset,
                                  height);
        m_comparison->show();
    }

    m_dots->setCurrent(index);
    const bool last = index == pageCount() - 1;
    m_skip->setVisible(!last);
    m_back->setVisible(index > 0);
    m_next->setText(last ? QStringLiteral("Got It") : QStringLiteral("Next"));
    m_next->setFocus();
    update();
}

void TourView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        m_next->click();
    else
        QWidget::keyPressEvent(event);
}

void TourView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    OnboardingStyle::paintArtwork(painter, FeatureTourPages::pages()[m_index].image,
                                  QRectF(QPointF(0, 0), QSizeF(artSize)), Qt::AlignCenter);
}

FeatureTour::FeatureTour(TourEnvironment environment) : m_env(std::move(environment))
{
}

FeatureTour::~FeatureTour() = default;

bool FeatureTour::shouldShow(const Defaults &defaults)
{
    return defaults.string(keys::whatsNewShown) != FeatureTourPages::version;
}

void FeatureTour::show(std::function<void()> onClose)
{
    m_env.defaults.setValue(keys::whatsNewShown, FeatureTourPages::version);
    if (!m_window) {
        m_window = std::make_unique<OnboardingWindow>(
            QStringLiteral("Explore Features"), QSize(644, 621),
            [env = m_env](std::function<void()> close) { return new TourView(env, std::move(close)); });
    }
    m_window->present(m_env.model, std::move(onClose));
}

} // namespace tamo
