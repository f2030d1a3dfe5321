#include "drawer/PinboardBar.h"

#include "drawer/ExploreFeaturesButton.h"

#include "app/AppModel.h"
#include "cards/Motion.h"
#include "cards/ViewStyles.h"
#include "drawer/PinboardTab.h"
#include "drawer/PinboardTabLabel.h"
#include "drawer/SearchPill.h"
#include "drawer/SettingsGear.h"
#include "drawer/SyncIndicator.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "platform/Symbols.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QToolButton>

namespace tamo {

namespace {

constexpr int syncOffInset = 66;
constexpr int syncShownInset = 96;
constexpr int reorderingInset = 64;
constexpr int rowSpacing = 2;
constexpr int rowPadding = 2;
constexpr int symbolButtonSide = 30;
constexpr int doneTrailingPadding = 6;
constexpr int doneHeight = 22; // a capsule, as tall as the round buttons beside it
constexpr int wiggleHalfPeriodMs = 140;
// Row items before the first pinboard tab: the leading stretch, the search
// button and the history tab.
constexpr int firstTabIndex = 3;

QToolButton *makeSymbolButton(const QString &symbol, double points, const QString &name, const QString &toolTip)
{
    auto *button = new QToolButton;
    const int side = QFontMetrics(uiFont(points, QFont::DemiBold)).height();
    button->setIcon(QIcon(tintedSymbol(symbol, side, sharedSecondaryLabelColor(), button->devicePixelRatioF())));
    button->setIconSize({side, side});
    button->setAutoRaise(true);
    button->setFixedSize(symbolButtonSide, symbolButtonSide);
    button->setToolTip(toolTip);
    button->setAccessibleName(name);
    button->setFocusPolicy(Qt::NoFocus); // the row keeps the keyboard
    return button;
}

} // namespace

int tabsTrailingInset(bool syncIndicatorShown, bool reordering)
{
    return (syncIndicatorShown ? syncShownInset : syncOffInset) + (reordering ? reorderingInset : 0);
}

PinboardBar::PinboardBar(AppModel &model, TimeScale timeScale, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_timeScale(timeScale)
    , m_centre(new QGridLayout)
    , m_tabsHolder(new QWidget)
    , m_scroll(new QScrollArea)
    , m_row(new QHBoxLayout)
    , m_searchButton(makeSymbolButton(QStringLiteral("magnifyingglass"), 13, QStringLiteral("Search"),
                                      QStringLiteral("Search (or just start typing)")))
    , m_historyTab(new PinboardTabLabel(QStringLiteral("Clipboard History"), QStringLiteral("clock"), QColor()))
    , m_newPinboard(makeSymbolButton(QStringLiteral("plus"), 12, QStringLiteral("New Pinboard"), QStringLiteral("New Pinboard")))
    , m_tabsLook(new PictureEffect(m_tabsHolder))
{
    setFixedHeight(barHeight + 2 * pillOverhang);
    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(sidePadding, 0, sidePadding, 0);
    outer->addLayout(m_centre);
    m_centre->setContentsMargins(0, 0, 0, 0);
    m_centre->addWidget(m_tabsHolder, 0, 0);

    auto *content = new QWidget;
    content->setLayout(m_row);
    m_row->setContentsMargins(rowPadding, 0, rowPadding, 0);
    m_row->setSpacing(rowSpacing);
    m_row->addStretch();
    m_row->addWidget(m_searchButton);
    m_row->addWidget(m_historyTab);
    m_row->addWidget(m_newPinboard);
    m_row->addStretch();
    m_scroll->setWidget(content);
    m_glide = new GlidingGlass(m_timeScale, content);
    m_scroll->setWidgetResizable(true); // fills the view when short, so the stretches centre the row
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus); // a click on a tab leaves the keyboard with the row
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    auto *holderLayout = new QHBoxLayout(m_tabsHolder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    holderLayout->addWidget(m_scroll);
    m_tabsHolder->setGraphicsEffect(m_tabsLook);
    const SpringAnimation barSpring = spring(0.45, 0.8);
    m_searchMotion.setDuration(m_timeScale(barSpring.durationMs));
    m_searchMotion.setEasingCurve(barSpring.curve);
    connect(&m_searchMotion, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &progress) { showSearchProgress(progress.toReal()); });
    connect(&m_searchMotion, &QVariantAnimation::finished, this, &PinboardBar::searchMotionEnded);

    m_trailing = makeTrailingControls();

    // Each swing eases in and out on its own and turns back smoothly.
    m_wiggle.setStartValue(0.0);
    m_wiggle.setEndValue(1.0);
    m_wiggle.setDuration(2 * wiggleHalfPeriodMs);
    m_wiggle.setLoopCount(-1);
    connect(&m_wiggle, &QVariantAnimation::valueChanged, this, [this](const QVariant &progress) {
        const qreal phase = easedThereAndBack(progress.toReal());
        for (PinboardTab *tab : std::as_const(m_tabs))
            tab->setTiltPhase(phase);
    });

    const SpringAnimation swapSpring = spring(0.3, 0.8);
    m_tabSwap.setStartValue(1.0);
    m_tabSwap.setEndValue(0.0);
    m_tabSwap.setDuration(m_timeScale(swapSpring.durationMs));
    m_tabSwap.setEasingCurve(swapSpring.curve);
    connect(&m_tabSwap, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &left) { slideTabs(left.toReal()); });

    // Name edits and moves while dragging arrive one field at a time:
    // the row catches up once they are all in.
    m_reload.setSingleShot(true);
    m_reload.setInterval(0);
    connect(&m_reload, &QTimer::timeout, this, &PinboardBar::reloadPinboards);
    ModelContext &context = m_model.container().mainContext();
    connect(&context, &ModelContext::recordChanged, this, [this](const Record *record) {
        if (&record->entity() == &Pinboard::spec())
            m_reload.start();
    });
    connect(&context, &ModelContext::didSave, this, [this](const SaveSummary &summary) {
        if (summary.entities.contains(QLatin1String(Pinboard::spec().name)))
            m_reload.start();
    });

    connect(m_searchButton, &QToolButton::clicked, &m_model, &AppModel::openSearch);
    connect(m_historyTab, &QAbstractButton::clicked, this, [this] {
        m_model.setSelectedPinboardID({});
        m_model.setSelectedItemID({});
        m_model.setMultiSelection({});
    });
    connect(m_newPinboard, &QToolButton::clicked, &m_model, &AppModel::newPinboard);
    connect(&m_model, &AppModel::selectedPinboardIDChanged, this, [this] {
        showSelection();
        QTimer::singleShot(0, this, &PinboardBar::scrollToSelection); // once a new tab is laid out
    });
    connect(&m_model, &AppModel::reorderingPinboardsChanged, this, &PinboardBar::updateReordering);
    for (auto changed : {&AppModel::searchTextChanged, &AppModel::searchOpenedChanged, &AppModel::searchFiltersChanged})
        connect(&m_model, changed, this, &PinboardBar::updateSearchState);

    reloadPinboards();
    showSelection();
    updateReordering();
    updateSearchState();
}

QWidget *PinboardBar::makeTrailingControls()
{
    auto *controls = new QWidget(this);
    auto *layout = new QHBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_doneHolder = new QWidget;
    auto *doneLayout = new QHBoxLayout(m_doneHolder);
    doneLayout->setContentsMargins(0, 0, doneTrailingPadding, 0);
    m_done = new QPushButton(QStringLiteral("Done"));
    m_done->setAutoDefault(false);
    m_done->setFocusPolicy(Qt::NoFocus);
    m_done->setFont(uiFont(11, QFont::Medium));
    // The prominent style: the accent filling a capsule, the title in white.
    // A style sheet rounds a background only inside a drawn border, hence
    // the border in the fill's own colour.
    m_done->setFixedHeight(doneHeight);
    m_done->setStyleSheet(QStringLiteral("QPushButton { background: palette(highlight); color: palette(highlighted-text);"
                                         " border: 1px solid palette(highlight); border-radius: %1px; padding: 0 10px; }"
                                         " QPushButton:pressed { background: palette(dark); border-color: palette(dark); }")
                              .arg(doneHeight / 2));
    doneLayout->addWidget(m_done);
    connect(m_done, &QPushButton::clicked, &m_model, &AppModel::endPinboardReorder);
    layout->addWidget(m_doneHolder);

    auto *explore = new ExploreFeaturesButton(false);
    connect(explore, &ExploreFeaturesButton::clicked, this, [this] { m_model.onboarding().showWhatsNew(); });
    layout->addWidget(explore);
    layout->addWidget(new SyncIndicator(m_model, symbolButtonSide, SyncIndicator::Look::circle));

    m_gear = new SettingsGear(m_model);
    layout->addWidget(m_gear);
    return controls;
}

QString PinboardBar::selectedTitle() const
{
    for (const PinboardTab *tab : m_tabs) {
        if (tab->board()->id() == m_model.selectedPinboardID())
            return tab->board()->name();
    }
    return m_historyTab->title();
}

void PinboardBar::reloadPinboards()
{
    QHash<QUuid, PinboardTab *> existing;
    for (PinboardTab *tab : std::as_const(m_tabs))
        existing.insert(tab->board()->id(), tab);

    QList<PinboardTab *> ordered;
    for (const PinboardPtr &board : m_model.pinboards().orderedPinboards()) {
        PinboardTab *tab = existing.value(board->id());
        if (tab && tab->board() == board) {
            existing.remove(board->id());
            tab->refresh();
        } else {
            tab = new PinboardTab(m_model, board);
        }
        ordered.append(tab);
    }
    // Tabs are kept while they live: one of them may be running a drag.
    for (PinboardTab *gone : std::as_const(existing)) {
        m_row->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    placeTabs(ordered);
}

void PinboardBar::placeTabs(const QList<PinboardTab *> &ordered)
{
    if (ordered == m_tabs)
        return;
    QHash<PinboardTab *, int> shownAt;
    for (PinboardTab *tab : std::as_const(m_tabs))
        shownAt.insert(tab, tab->x());
    const bool swapped = isVisible() && QSet<PinboardTab *>(ordered.cbegin(), ordered.cend())
                                            == QSet<PinboardTab *>(m_tabs.cbegin(), m_tabs.cend());
    for (PinboardTab *tab : std::as_const(m_tabs))
        m_row->removeWidget(tab);
    for (qsizetype i = 0; i < ordered.size(); ++i)
        m_row->insertWidget(int(firstTabIndex + i), ordered[i]);
    m_tabs = ordered;
    if (swapped)
        slideSwappedTabs(shownAt);
}

// The same tabs in a new order, as while dragging: they swap inside a spring.
void PinboardBar::slideSwappedTabs(const QHash<PinboardTab *, int> &shownAt)
{
    // Laid out now; the pass queued by the moves would put the tabs back in
    // their places before they slide there.
    m_row->activate();
    QCoreApplication::removePostedEvents(m_scroll->widget(), QEvent::LayoutRequest);
    m_slides.clear();
    for (PinboardTab *tab : std::as_const(m_tabs)) {
        const int distance = shownAt.value(tab) - tab->x();
        if (distance != 0)
            m_slides.insert(tab, {tab->pos(), distance});
    }
    m_tabSwap.stop();
    if (m_slides.isEmpty())
        return;
    slideTabs(1);
    m_tabSwap.start();
}

void PinboardBar::slideTabs(qreal left)
{
    for (auto it = m_slides.cbegin(); it != m_slides.cend(); ++it)
        it.key()->move(it->place + QPoint(qRound(it->distance * left), 0));
}

void PinboardBar::showSelection()
{
    m_historyTab->setSelected(m_model.selectedPinboardID().isNull());
    PinboardTabLabel *selected = m_historyTab;
    for (PinboardTab *tab : std::as_const(m_tabs)) {
        tab->refresh();
        if (tab->label()->isSelected())
            selected = tab->label();
    }
    // The capsule glides from the tab that had it.
    if (m_selectedLabel && m_selectedLabel != selected && isVisible())
        m_glide->glide(m_selectedLabel, selected);
    m_selectedLabel = selected;
}

void PinboardBar::scrollToSelection()
{
    QWidget *target = m_historyTab;
    for (PinboardTab *tab : std::as_const(m_tabs)) {
        if (tab->board()->id() == m_model.selectedPinboardID())
            target = tab;
    }
    m_scroll->ensureWidgetVisible(target, 0, 0);
}

void PinboardBar::updateSearchState()
{
    const bool active = m_model.isSearchActive();
    if (active == m_searchActive && (m_pill != nullptr) == active)
        return;
    m_searchActive = active;
    m_searchButton->setVisible(!active);
    m_tabsHolder->setAttribute(Qt::WA_TransparentForMouseEvents, active);

    if (active) {
        delete m_closingPill; // each opening starts a fresh pill
        m_pill = new SearchPill(m_model);
        m_pill->setGraphicsEffect(new PictureEffect(m_pill));
        m_centre->addWidget(m_pill, 0, 0, Qt::AlignCenter);
        m_centre->activate();
    } else if (m_pill) {
        delete m_closingPill;
        m_closingPill = m_pill;
        m_pill = nullptr;
        m_closingPill->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_closingPill->clearFocus();
        m_centre->removeWidget(m_closingPill);
        m_scroll->widget()->layout()->activate(); // the search button's place
    }
    m_trailing->raise();

    m_searchMotion.stop();
    m_searchMotion.setStartValue(m_searchProgress);
    m_searchMotion.setEndValue(active ? 1.0 : 0.0);
    m_searchMotion.start();
    showSearchProgress(m_searchProgress);
}

// The tabs fade, shrink to 0.94 and blur by 6 as the search comes; the pill
// grows out of the search button's place, fading in.
void PinboardBar::showSearchProgress(qreal progress)
{
    m_searchProgress = progress;
    const QRectF tabs = m_tabsHolder->rect();
    const qreal scale = 1 - 0.06 * progress;
    QRectF shrunk(QPointF(0, 0), tabs.size() * scale);
    shrunk.moveCenter(tabs.center());
    m_tabsLook->setLook(1 - progress, shrunk, 6 * progress);

    if (SearchPill *pill = m_pill ? m_pill.data() : m_closingPill.data()) {
        const QRectF button(pill->mapFrom(this, m_searchButton->mapTo(this, QPoint(0, 0))), m_searchButton->size());
        const QRectF full = pill->rect();
        const auto mix = [progress](qreal from, qreal to) { return from + (to - from) * progress; };
        const QRectF into(QPointF(mix(button.left(), full.left()), mix(button.top(), full.top())),
                          QPointF(mix(button.right(), full.right()), mix(button.bottom(), full.bottom())));
        static_cast<PictureEffect *>(pill->graphicsEffect())->setLook(progress, into, 0);
    }
}

void PinboardBar::searchMotionEnded()
{
    if (m_searchProgress <= 0) {
        m_tabsLook->clearLook();
        delete m_closingPill;
    } else if (m_pill) {
        static_cast<PictureEffect *>(m_pill->graphicsEffect())->clearLook();
    }
}

void PinboardBar::updateReordering()
{
    const bool reordering = m_model.isReorderingPinboards();
    m_doneHolder->setVisible(reordering);
    m_tabsHolder->layout()->setContentsMargins(0, 0, tabsTrailingInset(m_model.sync().status().kind != SyncStatus::Kind::off, reordering), 0);
    if (reordering)
        m_wiggle.start();
    else
        m_wiggle.stop();
    placeTrailingControls();
}

void PinboardBar::placeTrailingControls()
{
    m_trailing->adjustSize();
    const QSize size = m_trailing->sizeHint();
    m_trailing->setGeometry(width() - sidePadding - size.width(), (height() - size.height()) / 2, size.width(),
                            size.height());
    m_trailing->raise();
}

void PinboardBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeTrailingControls();
}

} // namespace tamo
