#include "bonus/WindowSwitcherView.h"

#include "bonus/WindowSwitcherState.h"
#include "cards/GlassRim.h"
#include "cards/GlassSurface.h"
#include "cards/ViewStyles.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QVariantAnimation>

namespace tamo {

namespace {

constexpr int listTop = 10;
constexpr int listBottom = 18;
constexpr int listSide = 6;
constexpr int rowGap = 2;
constexpr int dividerInset = 18;
constexpr qreal hiddenBelowTolerance = 8;

// A list with room above, below and beside its rows. Half the gap on each
// side of every row gives the gap between rows.
class PaddedList : public QListView
{
public:
    explicit PaddedList(QWidget *parent)
        : QListView(parent)
    {
        setSpacing(rowGap / 2);
        setViewportMargins(listSide - rowGap / 2, listTop - rowGap / 2, listSide - rowGap / 2, listBottom - rowGap / 2);
    }
};

// The hairline between the two columns, kept clear of the card's top and
// bottom edges; gone while the tab column is.
class ColumnDivider : public QWidget
{
public:
    explicit ColumnDivider(QWidget *parent)
        : QWidget(parent)
    {
        setFixedWidth(WindowSwitcherView::dividerWidth);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(0, dividerInset, width(), height() - 2 * dividerInset), labelColorAt(0.15));
    }
};

} // namespace

WindowSwitcherView::WindowSwitcherView(WindowSwitcherState &state, Callbacks callbacks,
                                       TabRowDelegate::FaviconLookup favicons, qreal cornerRadius, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_cornerRadius(cornerRadius)
    , m_scroll(new QVariantAnimation(this))
{
    setAccessibleName(QStringLiteral("Window switcher"));
    auto *windowDelegate = new WindowRowDelegate(state, this);
    m_windows = makeList(&m_windowRows, windowDelegate, QStringLiteral("Windows"));
    m_divider = new ColumnDivider(this);
    m_tabs = makeList(&m_tabRows, new TabRowDelegate(state, std::move(favicons), this), QStringLiteral("Tabs"));

    auto *layout = new QHBoxLayout(this);
    const int padding = int(outerPadding + innerPadding);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(0);
    layout->addWidget(m_windows, 1);
    layout->addWidget(m_divider);
    layout->addWidget(m_tabs);

    m_chevron = new QLabel(this);
    m_chevron->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_chevron->setAccessibleName(QStringLiteral("More windows below"));
    m_chevron->setPixmap(tintedSymbol(QStringLiteral("chevron.compact.down"), 16, sharedSecondaryLabelColor(),
                                      devicePixelRatioF()));
    m_chevron->setAlignment(Qt::AlignCenter);
    m_chevron->setFixedSize(16 + 32, 16 + 14);
    m_chevron->setStyleSheet(QStringLiteral("background: rgba(128,128,128,60); border-radius: 15px;"));
    auto *chevronOpacity = new QGraphicsOpacityEffect(m_chevron);
    chevronOpacity->setOpacity(0);
    m_chevron->setGraphicsEffect(chevronOpacity);
    m_chevronFade = new QPropertyAnimation(chevronOpacity, "opacity", this);
    m_chevronFade->setDuration(150);
    m_chevronFade->setEasingCurve(QEasingCurve::OutQuad);

    connect(m_windows, &QListView::clicked, this, [windowDelegate, pick = callbacks.pick](const QModelIndex &index) {
        if (!windowDelegate->badgeTookClick(index))
            pick(index.row());
    });
    connect(m_tabs, &QListView::clicked, this,
            [pickTab = callbacks.pickTab](const QModelIndex &index) { pickTab(index.row()); });
    connect(windowDelegate, &WindowRowDelegate::tabsBadgeClicked, this, callbacks.toggleTabs);
    connect(&state, &WindowSwitcherState::rowsChanged, this, &WindowSwitcherView::rowsChanged);
    connect(&state, &WindowSwitcherState::tabsChanged, this, &WindowSwitcherView::tabsChanged);
    connect(&state, &WindowSwitcherState::selectionChanged, this, &WindowSwitcherView::scrollToSelection);
    connect(&state, &WindowSwitcherState::tabSelectionChanged, this, &WindowSwitcherView::scrollToTabSelection);
    for (auto signal : {&WindowSwitcherState::selectionChanged, &WindowSwitcherState::tabSelectionChanged,
                        &WindowSwitcherState::paneChanged, &WindowSwitcherState::columnWidthsChanged}) {
        connect(&state, signal, m_windows->viewport(), qOverload<>(&QWidget::update));
        connect(&state, signal, m_tabs->viewport(), qOverload<>(&QWidget::update));
    }
    connect(&state, &WindowSwitcherState::columnWidthsChanged, this, [this] {
        if (!m_state.tabs().isEmpty())
            m_tabs->setFixedWidth(int(m_state.tabColumnWidth()));
    });
    connect(m_windows->verticalScrollBar(), &QScrollBar::valueChanged, this, &WindowSwitcherView::updateMoreBelow);
    connect(m_windows->verticalScrollBar(), &QScrollBar::rangeChanged, this, &WindowSwitcherView::updateMoreBelow);
    m_scroll->setDuration(120);
    m_scroll->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_scroll, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { m_windows->verticalScrollBar()->setValue(value.toInt()); });
    tabsChanged();
}

QListView *WindowSwitcherView::makeList(SwitcherRowsModel *model, QStyledItemDelegate *delegate, const QString &name)
{
    auto *list = new PaddedList(this);
    list->setAccessibleName(name);
    list->setModel(model);
    list->setItemDelegate(delegate);
    list->setFrameShape(QFrame::NoFrame);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->setUniformItemSizes(true);
    list->setMouseTracking(true);
    list->setAutoFillBackground(false);
    list->viewport()->setAutoFillBackground(false);
    list->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    return list;
}

void WindowSwitcherView::rowsChanged()
{
    m_windowRows.setRows(m_state.rows());
    m_scroll->stop();
    updateMoreBelow();
}

void WindowSwitcherView::tabsChanged()
{
    m_tabRows.setRows(m_state.tabs());
    const bool shown = !m_state.tabs().isEmpty();
    m_divider->setVisible(shown);
    m_tabs->setVisible(shown);
    if (shown) {
        m_tabs->setFixedWidth(int(m_state.tabColumnWidth()));
        scrollToTabSelection();
    }
}

void WindowSwitcherView::refreshTabIcons()
{
    m_tabs->viewport()->update();
}

void WindowSwitcherView::scrollToSelection()
{
    const int selection = m_state.selection();
    if (selection < 0 || selection >= m_windowRows.rowCount())
        return;
    QScrollBar *bar = m_windows->verticalScrollBar();
    const QRect rect = m_windows->visualRect(m_windowRows.index(selection));
    const int target =
        std::clamp(bar->value() + rect.center().y() - m_windows->viewport()->height() / 2, bar->minimum(), bar->maximum());
    m_scroll->stop();
    m_scroll->setStartValue(bar->value());
    m_scroll->setEndValue(target);
    m_scroll->start();
}

void WindowSwitcherView::scrollToTabSelection()
{
    const int selection = m_state.tabSelection();
    if (selection >= 0 && selection < m_tabRows.rowCount())
        m_tabs->scrollTo(m_tabRows.index(selection), QAbstractItemView::PositionAtCenter);
}

void WindowSwitcherView::updateMoreBelow()
{
    const QScrollBar *bar = m_windows->verticalScrollBar();
    const bool more = bar->maximum() - bar->value() > hiddenBelowTolerance;
    if (more == m_moreBelow)
        return;
    m_moreBelow = more;
    // Fades in and out; it stays in place, taking no clicks either way.
    m_chevronFade->stop();
    m_chevronFade->setEndValue(more ? 1.0 : 0.0);
    m_chevronFade->start();
}

void WindowSwitcherView::placeChevron()
{
    const QRect list = m_windows->geometry();
    m_chevron->move(list.center().x() - m_chevron->width() / 2, list.bottom() - 10 - m_chevron->height());
    m_chevron->raise();
}

void WindowSwitcherView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeChevron();
}

void WindowSwitcherView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(outerPadding, outerPadding, -outerPadding, -outerPadding);
    GlassStyle style = GlassStyle::current();
    const bool dark = style.base.lightnessF() < 0.5;
    style.tint = dark ? QColor::fromRgbF(0.16f, 0.16f, 0.16f, 0.1f) : QColor::fromRgbF(0.44f, 0.44f, 0.44f, 0.07f);
    style.rimOpacity = 0.84;
    paintGlass(painter, roundedRect(card, m_cornerRadius), style);
}

} // namespace tamo
