#include "menubar/MenuBarCardGrid.h"

#include "app/AppModel.h"
#include "cards/ClipCard.h"
#include "drawer/ClipCardMenu.h"
#include "cards/Motion.h"
#include "cards/OverlayScrollBar.h"
#include "drawer/KeyPress.h"
#include "menubar/HorizontalWheelScrolling.h"
#include "menubar/MenuBarKeys.h"
#include "menubar/MenuBarViewState.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <optional>

namespace tamo {

namespace {

const SpringAnimation &selectionScrollSpring()
{
    static const SpringAnimation animation = spring(0.3, 0.82);
    return animation;
}

} // namespace

MenuBarCardGrid::MenuBarCardGrid(MenuBarViewState &state, const CardContext &cards,
                                 std::function<void(const QList<ClipItemPtr> &)> pasteByClick, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_state(state)
    , m_context(cards)
    , m_pasteByClick(std::move(pasteByClick))
{
    m_context.isInMenuBarPanel = true;
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    // Slim bars over the cards' edge, each shown only while its axis scrolls.
    new OverlayScrollBar(Qt::Vertical, this);
    new OverlayScrollBar(Qt::Horizontal, this);
    connect(&m_scrollAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { scrollBar()->setValue(value.toInt()); });

    connect(&state, &MenuBarViewState::visibleClipsChanged, this, &MenuBarCardGrid::rebuild);
    connect(&state, &MenuBarViewState::selectionChanged, this, &MenuBarCardGrid::updateSelection);
    connect(&state, &MenuBarViewState::scrollToTopRequested, this, &MenuBarCardGrid::scrollToTop);
    // The clip being renamed or given an icon keeps its card, wherever the grid scrolls.
    connect(&state.model(), &AppModel::renamingItemIDChanged, this, &MenuBarCardGrid::layoutCards);
    connect(&state.model(), &AppModel::iconPickerItemIDChanged, this, &MenuBarCardGrid::layoutCards);
    connect(&m_context.defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (key == keys::cardScale)
            readCardScale();
        else if (key == keys::menuBarLayout)
            readLayout();
    });
    m_cardLook.size = cardSize(m_context.defaults.value(keys::cardScale).toDouble());
    m_layout.cellSide = m_cardLook.size.side();
    m_layout.viewportWidth = viewport()->width();
    m_layout.viewportHeight = viewport()->height();
    readLayout();
}

MenuBarCardGrid::~MenuBarCardGrid() = default;

CardSize MenuBarCardGrid::cardSize(double cardScale)
{
    return {cardScale <= 0.75 ? 0.54 : std::min(cardScale, 1.5) * 0.72};
}

QList<ClipCard *> MenuBarCardGrid::cards() const
{
    QList<ClipCard *> built = m_cards.values();
    std::sort(built.begin(), built.end(), [this](const ClipCard *a, const ClipCard *b) {
        return m_cardPositions.value(a->item()->id()) < m_cardPositions.value(b->item()->id());
    });
    return built;
}

void MenuBarCardGrid::rebuild()
{
    m_visible = m_state.visibleIDs();
    m_cardLook.agesAt = m_context.clock.now();
    m_cardLook.pinboardTags = m_state.pinboardLookup();
    updateScrollRange();
    layoutCards();
    revealSelection();
}

void MenuBarCardGrid::readCardScale()
{
    m_cardLook.size = cardSize(m_context.defaults.value(keys::cardScale).toDouble());
    m_layout.cellSide = m_cardLook.size.side();
    updateScrollRange();
    layoutCards();
}

void MenuBarCardGrid::readLayout()
{
    const bool oneRow = m_context.defaults.string(keys::menuBarLayout) == rawValue(MenuBarLayout::horizontal);
    m_layout.oneRow = oneRow;
    (oneRow ? verticalScrollBar() : horizontalScrollBar())->setRange(0, 0);
    // A mouse wheel turns the row; the two columns scroll with it as they are.
    if (oneRow && !m_wheelScrolling)
        m_wheelScrolling = new HorizontalWheelScrolling(this);
    else if (!oneRow)
        delete std::exchange(m_wheelScrolling, nullptr);
    m_revealedID = {};
    rebuild();
}

QScrollBar *MenuBarCardGrid::scrollBar() const
{
    return m_layout.oneRow ? horizontalScrollBar() : verticalScrollBar();
}

int MenuBarCardGrid::viewLength() const
{
    return m_layout.oneRow ? viewport()->width() : viewport()->height();
}

int MenuBarCardGrid::scrollTarget() const
{
    return m_scrollAnimation.state() == QAbstractAnimation::Running ? m_scrollAnimation.endValue().toInt()
                                                                      : scrollBar()->value();
}

void MenuBarCardGrid::layoutCards()
{
    const int offset = scrollBar()->value();
    const GridLayout::Range range = m_layout.cellsIn(offset, viewLength(), m_visible.size(), offscreenRows);
    QList<qsizetype> wanted;
    for (qsizetype i = range.first; i < range.end; ++i)
        wanted.append(i);
    const AppModel &model = m_state.model();
    for (const QUuid &id : {model.renamingItemID(), model.iconPickerItemID()}) {
        const qsizetype index = id.isNull() ? -1 : m_visible.indexOf(id);
        if (index >= 0 && !range.contains(index))
            wanted.append(index);
    }
    // Only the clips in view are read from the store.
    QHash<QUuid, qsizetype> positions;
    for (const qsizetype index : std::as_const(wanted))
        positions.insert(m_visible[index], index);

    for (auto it = m_cards.begin(); it != m_cards.end();) {
        if (positions.contains(it.key())) {
            ++it;
        } else {
            releaseCard(it.value());
            it = m_cards.erase(it);
        }
    }
    m_cardPositions = positions;

    for (const qsizetype index : wanted) {
        const ClipCard *built = m_cards.value(m_visible[index]);
        const ClipItemPtr clip = built && built->item() && !built->item()->isGone() ? built->item()
                                                                                   : m_state.clipWithID(m_visible[index]);
        if (!clip)
            continue; // deleted, and about to leave the list
        ClipCard *&card = m_cards[clip->id()];
        if (!card) {
            if (m_spareCards.isEmpty()) {
                card = new ClipCard(m_context, viewport());
                card->installEventFilter(this);
            } else {
                card = m_spareCards.takeLast();
            }
        }
        card->showInGroup(clip, index,
                          clip->id() == m_state.selectedID() || m_state.multiSelection().contains(clip->id()),
                          m_cardLook);
        const QPoint scrolled = m_layout.oneRow ? QPoint(offset, 0) : QPoint(0, offset);
        card->move(m_layout.cellRect(index).topLeft() - scrolled);
        card->show();
    }
}

void MenuBarCardGrid::releaseCard(ClipCard *card)
{
    card->hide();
    card->setItem(nullptr); // holds no clip that may be deleted meanwhile
    m_spareCards.append(card);
}

void MenuBarCardGrid::updateScrollRange()
{
    QScrollBar *bar = scrollBar();
    const int length = viewLength();
    bar->setPageStep(length);
    bar->setSingleStep(std::max(1, m_layout.pitch() / 3)); // a wheel notch moves about one row
    bar->setRange(0, std::max(0, m_layout.contentLength(m_visible.size()) - length));
}

void MenuBarCardGrid::updateSelection()
{
    const QUuid current = m_state.selectedID();
    const QSet<QUuid> multi = m_state.multiSelection();
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it)
        it.value()->setSelected(it.key() == current || multi.contains(it.key()));
    revealSelection();
}

// Only a selection that changed scrolls: a save or new results leave the grid where the user put it.
void MenuBarCardGrid::revealSelection()
{
    const QUuid selected = m_state.selectedID();
    if (selected == m_revealedID)
        return;
    const qsizetype index = selected.isNull() ? -1 : m_visible.indexOf(selected);
    if (index < 0)
        return;
    m_revealedID = selected;
    // The first card scrolls to the very start, so the margin before it shows.
    scrollTo(index == 0 ? 0 : m_layout.offsetRevealing(index, scrollTarget(), viewLength()));
}

void MenuBarCardGrid::scrollTo(int offset)
{
    if (offset == scrollTarget())
        return;
    const SpringAnimation &spring = selectionScrollSpring();
    m_scrollAnimation.stop();
    m_scrollAnimation.setStartValue(scrollBar()->value());
    m_scrollAnimation.setEndValue(offset);
    m_scrollAnimation.setDuration(spring.durationMs);
    m_scrollAnimation.setEasingCurve(spring.curve);
    m_scrollAnimation.start();
}

void MenuBarCardGrid::scrollToTop()
{
    m_scrollAnimation.stop();
    scrollBar()->setValue(0);
}

void MenuBarCardGrid::keyPressEvent(QKeyEvent *event)
{
    if (menubarkeys::gridKeyPress(m_state, fromQKeyEvent(*event)) == KeyResult::ignored)
        QWidget::keyPressEvent(event);
}

void MenuBarCardGrid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (m_state.focus() != MenuBarViewState::Focus::grid)
        m_state.setFocus(MenuBarViewState::Focus::grid);
}

void MenuBarCardGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_layout.viewportWidth = viewport()->width();
    m_layout.viewportHeight = viewport()->height();
    updateScrollRange();
    layoutCards();
}

void MenuBarCardGrid::scrollContentsBy(int, int)
{
    layoutCards();
}

bool MenuBarCardGrid::eventFilter(QObject *watched, QEvent *event)
{
    auto *card = qobject_cast<ClipCard *>(watched);
    if (!card || !card->item())
        return QAbstractScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && card->rect().contains(mouse->position().toPoint())) {
            cardTapped(card->item());
            return true;
        }
    } else if (event->type() == QEvent::ContextMenu && m_context.model) {
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        ClipCardMenu::popup(*m_context.model, m_state.clipsForCard(card->item()), bool(m_state.selectedBoard()), true,
                            menu->globalPos());
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void MenuBarCardGrid::cardTapped(const ClipItemPtr &clip)
{
    const Qt::KeyboardModifiers modifiers = QApplication::keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        m_state.toggleSelection(clip->id());
    else if (modifiers & Qt::ShiftModifier)
        m_state.extendSelection(clip->id());
    else
        m_pasteByClick(m_state.clipsForCard(clip));
}

} // namespace tamo
