#include "menubar/MenuBarCardGrid.h"

#include "cards/ClipCard.h"
#include "drawer/ClipCardMenu.h"
#include "drawer/KeyPress.h"
#include "menubar/MenuBarKeys.h"
#include "menubar/MenuBarViewState.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace tamo {

namespace {

constexpr int quickPasteCount = 9;

} // namespace

MenuBarCardGrid::MenuBarCardGrid(MenuBarViewState &state, const CardContext &cards,
                                 std::function<void(const QList<ClipItemPtr> &)> pasteByClick, QWidget *parent)
    : QScrollArea(parent)
    , m_state(state)
    , m_context(cards)
    , m_pasteByClick(std::move(pasteByClick))
{
    m_context.isInMenuBarPanel = true;
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget;
    m_layout = new QGridLayout(content);
    m_layout->setSpacing(spacing);
    m_layout->setContentsMargins(horizontalPadding, verticalPadding, horizontalPadding, verticalPadding);
    m_layout->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    setWidget(content);

    connect(&state, &MenuBarViewState::visibleClipsChanged, this, &MenuBarCardGrid::rebuild);
    connect(&state, &MenuBarViewState::selectionChanged, this, &MenuBarCardGrid::updateSelection);
    connect(&state, &MenuBarViewState::scrollToTopRequested, this, &MenuBarCardGrid::scrollToTop);
    connect(&m_context.defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (key == keys::cardScale)
            rebuild();
    });
    rebuild();
}

MenuBarCardGrid::~MenuBarCardGrid() = default;

CardSize MenuBarCardGrid::cardSize(double cardScale)
{
    return {cardScale <= 0.75 ? 0.54 : std::min(cardScale, 1.5) * 0.72};
}

CardSize MenuBarCardGrid::currentSize() const
{
    return cardSize(m_context.defaults.value(keys::cardScale).toDouble());
}

QList<ClipCard *> MenuBarCardGrid::cards() const
{
    QList<ClipCard *> shown;
    for (const auto &card : m_cards) {
        if (card->item())
            shown.append(card.get());
    }
    return shown;
}

void MenuBarCardGrid::rebuild()
{
    const QList<ClipItemPtr> visible = m_state.visibleClips();
    const QHash<QUuid, PinboardPtr> boards = m_state.pinboardLookup();
    const CardSize size = currentSize();
    for (const auto &card : m_cards)
        m_layout->removeWidget(card.get());
    // Cards are reused clip after clip; only the surplus is dropped.
    while (m_cards.size() < size_t(visible.size())) {
        auto card = std::make_unique<ClipCard>(m_context, widget());
        card->installEventFilter(this);
        m_cards.push_back(std::move(card));
    }
    m_cards.resize(visible.size());
    for (qsizetype i = 0; i < visible.size(); ++i) {
        ClipCard &card = *m_cards[i];
        const ClipItemPtr &clip = visible[i];
        card.setItem(clip);
        card.setSize(size);
        card.setQuickPasteNumber(i < quickPasteCount ? std::optional<int>(int(i) + 1) : std::nullopt);
        card.setPinboardTag(clip->pinboardID() ? boards.value(*clip->pinboardID()) : PinboardPtr());
        m_layout->addWidget(&card, int(i / columns), int(i % columns));
        card.show();
    }
    updateSelection();
}

void MenuBarCardGrid::updateSelection()
{
    const QSet<QUuid> multi = m_state.multiSelection();
    for (const auto &card : m_cards) {
        const QUuid id = card->item()->id();
        card->setSelected(id == m_state.selectedID() || multi.contains(id));
    }
    revealSelection();
}

void MenuBarCardGrid::revealSelection()
{
    const QList<QUuid> ids = m_state.visibleIDs();
    const qsizetype index = ids.indexOf(m_state.selectedID());
    if (index == 0)
        scrollToTop();
    else if (index > 0 && index < qsizetype(m_cards.size()))
        ensureWidgetVisible(m_cards[index].get(), 0, spacing);
}

void MenuBarCardGrid::scrollToTop()
{
    verticalScrollBar()->setValue(0);
}

void MenuBarCardGrid::keyPressEvent(QKeyEvent *event)
{
    if (menubarkeys::gridKeyPress(m_state, fromQKeyEvent(*event)) == KeyResult::ignored)
        QWidget::keyPressEvent(event);
}

void MenuBarCardGrid::focusInEvent(QFocusEvent *event)
{
    QScrollArea::focusInEvent(event);
    if (m_state.focus() != MenuBarViewState::Focus::grid)
        m_state.setFocus(MenuBarViewState::Focus::grid);
}

bool MenuBarCardGrid::eventFilter(QObject *watched, QEvent *event)
{
    auto *card = qobject_cast<ClipCard *>(watched);
    if (!card || !card->item())
        return QScrollArea::eventFilter(watched, event);
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
    return QScrollArea::eventFilter(watched, event);
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
