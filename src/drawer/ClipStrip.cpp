#include "drawer/ClipStrip.h"

#include "app/AppModel.h"
#include "cards/ClipCard.h"
#include "cards/Motion.h"
#include "drawer/CardGhost.h"
#include "drawer/DrawerEmptyState.h"
#include "drawer/DrawerKeys.h"
#include "drawer/DrawerSelection.h"
#include "drawer/EmptyStripView.h"
#include "drawer/KeyPress.h"
#include "drawer/StripClips.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace tamo {

namespace {

constexpr double smallestCardScale = 0.75;
constexpr double largestCardScale = 1.5;

const SpringAnimation &selectionScrollSpring()
{
    static const SpringAnimation animation = spring(0.3, 0.82);
    return animation;
}

const SpringAnimation &listSpring()
{
    static const SpringAnimation animation = spring(0.34, 0.8);
    return animation;
}

const SpringAnimation &deletionSpring()
{
    static const SpringAnimation animation = spring(0.3, 0.85);
    return animation;
}

QHash<QUuid, qsizetype> positionsOf(const QList<ClipItemPtr> &clips)
{
    QHash<QUuid, qsizetype> positions;
    positions.reserve(clips.size());
    for (qsizetype i = 0; i < clips.size(); ++i)
        positions.insert(clips[i]->id(), i);
    return positions;
}

QUuid frontID(const QList<ClipItemPtr> &clips)
{
    return clips.isEmpty() ? QUuid() : clips.front()->id();
}

} // namespace

ClipStrip::ClipStrip(AppModel &model, const CardContext &cards, const QUuid &pinboardID, TimeScale timeScale,
                     QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_model(model)
    , m_cardContext(cards)
    , m_pinboardID(pinboardID)
    , m_timeScale(timeScale)
    , m_hold(model, timeScale)
    , m_wholeTextSearch(model.container().storeDirectory())
    , m_emptyState(new EmptyStripView(viewport()))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false); // the drawer's glass shows through
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled); // compose and input methods type into the search
    m_emptyState->hide();

    connect(&m_scrollAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { horizontalScrollBar()->setValue(value.toInt()); });
    m_listTransition.setStartValue(0.0);
    m_listTransition.setEndValue(1.0);
    connect(&m_listTransition, &QVariantAnimation::valueChanged, this, &ClipStrip::layoutCards);
    connect(&m_listTransition, &QVariantAnimation::finished, this, [this] {
        m_slideFrom.clear();
        m_appearing.clear();
        layoutCards();
    });

    connect(&m_model, &AppModel::searchTextChanged, this, &ClipStrip::searchChanged);
    connect(&m_model, &AppModel::searchFiltersChanged, this, &ClipStrip::searchChanged);
    connect(&m_model, &AppModel::searchOpenedChanged, this, &ClipStrip::updatePinboardTags);
    connect(&m_model, &AppModel::selectedItemIDChanged, this, [this] {
        updateSelectionMarks();
        scrollToSelection();
    });
    connect(&m_model, &AppModel::multiSelectionChanged, this, &ClipStrip::updateSelectionMarks);
    connect(&m_model, &AppModel::presentationTokenChanged, this, &ClipStrip::scrollToStart);
    connect(&m_model, &AppModel::focusTokenChanged, this, &ClipStrip::focusStrip);
    // The clip being renamed or given an icon keeps its card, wherever the row scrolls.
    connect(&m_model, &AppModel::renamingItemIDChanged, this, &ClipStrip::layoutCards);
    connect(&m_model, &AppModel::iconPickerItemIDChanged, this, &ClipStrip::layoutCards);
    connect(&m_model.container().mainContext(), &ModelContext::didSave, this, &ClipStrip::storeSaved);
    connect(&m_wholeTextSearch, &ClipSearch::firstMatchesFound, this, &ClipStrip::showWholeTextMatches);
    connect(&m_wholeTextSearch, &ClipSearch::finished, this, &ClipStrip::showWholeTextMatches);
    m_restOfList = new AfterNextFrame(*viewport(), [this] { readRestOfList(); });
    connect(&m_cardContext.defaults, &Defaults::valueChanged, this, [this](const QString &key) {
        if (key == keys::cardScale)
            readCardScale();
    });

    readCardScale();
    m_cardLook.agesAt = m_cardContext.clock.now();
    // Hidden until its panel shows, when it reads what it lists.
}

ClipStrip::~ClipStrip() = default;

void ClipStrip::retire()
{
    m_model.disconnect(this);
    m_model.container().mainContext().disconnect(this);
    m_cardContext.defaults.disconnect(this);
    m_scrollAnimation.stop();
    m_listTransition.stop();
    m_wholeTextSearch.cancel();
    m_restOfList->cancel();
    m_hold.release();
    m_retired = true;
}

// ---------------------------------------------------------------- what is listed

void ClipStrip::readAppearing()
{
    m_cardLook.agesAt = m_cardContext.clock.now();
    m_items = stripQuery(m_pinboardID).first(firstFrameClips).fetch(m_model.container().mainContext());
    showMatches();
    if (m_items.size() >= firstFrameClips)
        m_restOfList->arm(); // the current clip may be among the rest
    else if (!m_items.isEmpty())
        ensureValidSelection(m_model, m_visible);
}

// The cards in view stay where they are: the rest only lengthens the row.
void ClipStrip::readRestOfList()
{
    m_items = stripQuery(m_pinboardID).fetch(m_model.container().mainContext());
    showMatches(false);
    ensureValidSelection(m_model, m_visible);
}

void ClipStrip::followSave(const SaveSummary &summary)
{
    const QUuid previousFront = frontID(m_items);
    m_cardLook.agesAt = m_cardContext.clock.now();
    const ClipListQuery query = stripQuery(m_pinboardID);
    if (!query.followSave(m_items, summary))
        m_items = query.fetch(m_model.container().mainContext());
    showMatches();
    // A new copy arrived or the front clip went: the current clip may be gone.
    if (frontID(m_items) != previousFront)
        ensureValidSelection(m_model, m_visible);
}

void ClipStrip::storeSaved(const SaveSummary &summary)
{
    if (m_stale)
        return; // read again when shown
    if (summary.entities.contains(QLatin1String(ClipItem::spec().name)))
        followSave(summary);
    if (summary.entities.contains(QLatin1String(Pinboard::spec().name)))
        updatePinboardTags();
}

// Whole texts are never read on the main thread: the clips only they could
// tell of join when the search of the store finds them, the newest first.
void ClipStrip::showMatches(bool animated)
{
    m_wholeTextSearch.cancel();
    const StripMatches matches = matchingClips(m_items, m_model.searchText(), m_model.searchFilters());
    setVisibleClips(matches.clips, animated);
    if (matches.undecided) {
        m_wholeTextSearch.start({trimmedSearchText(m_model.searchText()), m_model.searchFilters(), m_pinboardID,
                                 m_pinboardID.isNull() ? historyFetchLimit : -1, firstFrameClips});
    }
}

void ClipStrip::showWholeTextMatches(const QList<QUuid> &ids)
{
    QSet<QUuid> found(ids.cbegin(), ids.cend());
    for (const ClipItemPtr &clip : std::as_const(m_visible))
        found.insert(clip->id());
    QList<ClipItemPtr> matching;
    std::copy_if(m_items.cbegin(), m_items.cend(), std::back_inserter(matching),
                 [&](const ClipItemPtr &clip) { return found.contains(clip->id()); });
    setVisibleClips(matching);
}

void ClipStrip::setVisibleClips(QList<ClipItemPtr> visible, bool animated)
{
    const bool sameOrder = std::equal(visible.cbegin(), visible.cend(), m_visible.cbegin(), m_visible.cend(),
                                      [](const ClipItemPtr &a, const ClipItemPtr &b) { return a->id() == b->id(); });
    const bool frontOrCountChanged = frontID(visible) != frontID(m_visible) || visible.size() != m_visible.size();
    const QHash<QUuid, qsizetype> oldPositions = std::exchange(m_positions, positionsOf(visible));
    m_visible = std::move(visible);

    if (animated && frontOrCountChanged && !m_cards.isEmpty())
        startListTransition(oldPositions);
    updateScrollRange();
    layoutCards();
    m_emptyState->setState(DrawerEmptyState::forStrip(m_model.searchText(), m_pinboardID, !m_items.isEmpty()));
    m_emptyState->setVisible(m_visible.isEmpty());
    placeEmptyState();
    if (!sameOrder)
        m_model.setVisibleItemIDs(clipIDs(m_visible));
}

void ClipStrip::searchChanged()
{
    showMatches();
    updatePinboardTags();
    selectFirstVisible(m_model, m_visible);
}

void ClipStrip::updatePinboardTags()
{
    // Screen readers name the strip as its tab is named.
    const QList<PinboardPtr> shown = m_model.pinboards().pinboardWithID(m_pinboardID);
    setAccessibleName(m_pinboardID.isNull() || shown.isEmpty() ? QStringLiteral("Clipboard History")
                                                                : shown.first()->name());
    // Only a search through the history says which pinboard a clip is on.
    m_cardLook.pinboardTags.clear();
    if (m_pinboardID.isNull() && m_model.isSearchActive()) {
        for (const PinboardPtr &pinboard : m_model.pinboards().orderedPinboards())
            m_cardLook.pinboardTags.insert(pinboard->id(), pinboard);
    }
    layoutCards();
}

void ClipStrip::readCardScale()
{
    const double scale = m_cardContext.defaults.doubleValue(keys::cardScale);
    m_cardLook.size.scale = std::clamp(scale, smallestCardScale, largestCardScale);
    m_layout.cardSide = m_cardLook.size.side();
    updateScrollRange();
    layoutCards();
}

// ---------------------------------------------------------------- reactions

void ClipStrip::scrollToSelection()
{
    const auto position = m_positions.constFind(m_model.selectedItemID());
    if (position == m_positions.cend())
        return;
    // The first card scrolls to the very start, so the row's leading padding shows.
    const int offset = horizontalScrollBar()->value();
    animateScrollTo(*position == 0 ? 0 : m_layout.offsetRevealing(*position, offset, viewport()->width()));
}

void ClipStrip::scrollToStart()
{
    m_scrollAnimation.stop();
    horizontalScrollBar()->setValue(0);
    m_cardLook.agesAt = m_cardContext.clock.now(); // each presentation counts ages anew
    layoutCards();
}

void ClipStrip::focusStrip()
{
    // Widget focus only: the window takes the keyboard when the panel is
    // made key, never because the model asked while it was hidden.
    setFocus(Qt::OtherFocusReason);
    ensureValidSelection(m_model, m_visible);
}

void ClipStrip::animateScrollTo(int offset)
{
    QScrollBar *bar = horizontalScrollBar();
    m_scrollAnimation.stop();
    const int target = std::clamp(offset, bar->minimum(), bar->maximum());
    if (target == bar->value())
        return;
    const SpringAnimation &spring = selectionScrollSpring();
    m_scrollAnimation.setStartValue(bar->value());
    m_scrollAnimation.setEndValue(target);
    m_scrollAnimation.setDuration(m_timeScale(spring.durationMs));
    m_scrollAnimation.setEasingCurve(spring.curve);
    m_scrollAnimation.start();
}

// ---------------------------------------------------------------- cards

void ClipStrip::layoutCards()
{
    const int offset = horizontalScrollBar()->value();
    const StripLayout::Range range
        = m_layout.cellsIn(offset, viewport()->width(), m_visible.size(), offscreenCards);
    QList<qsizetype> wanted;
    for (qsizetype i = range.first; i < range.end; ++i)
        wanted.append(i);
    for (const QUuid &id : {m_model.renamingItemID(), m_model.iconPickerItemID()}) {
        const qsizetype index = m_positions.value(id, -1);
        if (index >= 0 && !range.contains(index))
            wanted.append(index);
    }

    for (auto it = m_cards.begin(); it != m_cards.end();) {
        const qsizetype index = m_positions.value(it.key(), -1);
        if (index >= 0 && wanted.contains(index)) {
            ++it;
        } else {
            releaseCard(it.value());
            it = m_cards.erase(it);
        }
    }

    const bool moving = m_listTransition.state() == QAbstractAnimation::Running;
    const qreal progress = m_listTransition.currentValue().toReal();
    for (const qsizetype index : wanted) {
        const QUuid id = m_visible[index]->id();
        ClipCard *&card = m_cards[id];
        if (!card)
            card = m_spareCards.isEmpty() ? new ClipCard(m_cardContext, viewport()) : m_spareCards.takeLast();
        card->showInGroup(m_visible[index], index,
                          id == m_model.selectedItemID() || m_model.multiSelection().contains(id), m_cardLook);
        const QRect place = m_layout.cardRect(index);
        const int slide = moving ? qRound(m_slideFrom.value(id) * (1.0 - progress)) : 0;
        card->move(place.x() - offset + slide, place.y());
        card->setPresence(moving && m_appearing.contains(id) ? progress : 1);
        card->show();
    }
}

void ClipStrip::releaseCard(ClipCard *card)
{
    card->hide();
    card->setPresence(1);
    card->setItem(nullptr); // holds no clip that may be deleted meanwhile
    m_spareCards.append(card);
}

void ClipStrip::updateSelectionMarks()
{
    const QUuid current = m_model.selectedItemID();
    const QSet<QUuid> multi = m_model.multiSelection();
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it)
        it.value()->setSelected(it.key() == current || multi.contains(it.key()));
}

void ClipStrip::updateScrollRange()
{
    QScrollBar *bar = horizontalScrollBar();
    const int width = viewport()->width();
    bar->setPageStep(width);
    bar->setSingleStep(std::max(1, m_layout.pitch() / 3)); // a wheel notch moves about one card
    bar->setRange(0, std::max(0, m_layout.contentWidth(m_visible.size()) - width));
}

void ClipStrip::placeEmptyState()
{
    const QSize size = m_emptyState->sizeHint().boundedTo(viewport()->size());
    QRect area(QPoint(0, 0), size);
    area.moveCenter(viewport()->rect().center());
    m_emptyState->setGeometry(area);
}

void ClipStrip::startListTransition(const QHash<QUuid, qsizetype> &oldPositions)
{
    // A change that only takes cards away is a deletion, which springs a little firmer.
    bool removedOnly = true;
    for (auto it = m_positions.cbegin(); it != m_positions.cend(); ++it)
        removedOnly &= oldPositions.contains(it.key());
    const SpringAnimation &spring = removedOnly ? deletionSpring() : listSpring();
    m_listTransition.stop();
    m_slideFrom.clear();
    m_appearing.clear();
    // In a burst of changes (a hundred copies in a second) each slide would
    // start from places that are still moving: the cards would pile up at the
    // front and leave their own places empty. Until a slide's time passes
    // without a change, every card goes straight to its place.
    const bool burst = m_sinceListChange.isValid() && m_sinceListChange.elapsed() < m_timeScale(spring.durationMs);
    m_sinceListChange.start();
    if (burst)
        return;

    // Each card slides from where it shows now.
    const int offset = horizontalScrollBar()->value();
    QHash<QUuid, int> slideFrom;
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it) {
        const qsizetype newIndex = m_positions.value(it.key(), -1);
        if (newIndex < 0) {
            // Removed cards only fade out, where they stood.
            new CardGhost(it.value()->grab(), it.value()->pos(), spring, m_timeScale(spring.durationMs), viewport());
            continue;
        }
        if (!oldPositions.contains(it.key()))
            continue;
        const int shownAt = it.value()->x() + offset;
        const int distance = shownAt - m_layout.cardRect(newIndex).x();
        if (distance != 0)
            slideFrom.insert(it.key(), distance);
    }
    m_slideFrom = std::move(slideFrom);
    for (auto it = m_positions.cbegin(); it != m_positions.cend(); ++it) {
        if (!oldPositions.contains(it.key()))
            m_appearing.insert(it.key());
    }
    if (m_slideFrom.isEmpty() && m_appearing.isEmpty())
        return;
    m_listTransition.setDuration(m_timeScale(spring.durationMs));
    m_listTransition.setEasingCurve(spring.curve);
    m_listTransition.start();
}

// ---------------------------------------------------------------- keys

bool ClipStrip::focusNextPrevChild(bool)
{
    return false; // Tab and ⇧Tab switch pinboards
}

void ClipStrip::keyPressEvent(QKeyEvent *event)
{
    // The map works on its own copy of the row: a key may delete clips,
    // switch pinboards or replace this strip while it runs.
    const KeyResult result = handleDrawerKey(fromQKeyEvent(*event), {m_model, m_visible, m_pinboardID});
    event->setAccepted(result == KeyResult::handled);
}

void ClipStrip::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty()) {
        event->ignore(); // no field shows what is being composed
        return;
    }
    const KeyResult result = typeDrawerText(event->commitString(), {m_model, m_visible, m_pinboardID});
    event->setAccepted(result == KeyResult::handled);
}

// ---------------------------------------------------------------- mouse

ClipItemPtr ClipStrip::clipAt(const QPoint &viewportPoint) const
{
    const QPoint point = viewportPoint + QPoint(horizontalScrollBar()->value(), 0);
    const qsizetype index = m_layout.cardAt(point, m_visible.size());
    return index < 0 ? nullptr : m_visible[index];
}

void ClipStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    m_press = {clipAt(event->position().toPoint()), event->position().toPoint()};
    if (m_press.clip && m_cardContext.defaults.boolValue(keys::holdToPreview))
        m_hold.press(m_press.clip, event->position());
}

void ClipStrip::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_press.clip)
        return QAbstractScrollArea::mouseMoveEvent(event);
    m_hold.move(event->position());
    if (QLineF(m_press.origin, event->position()).length() > HoldToPreview::cancelDistance)
        m_press.moved = true; // a drag, not a click; cards carry nothing out of the drawer
}

void ClipStrip::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseReleaseEvent(event);
    const bool wasHold = m_hold.release();
    const Press press = std::exchange(m_press, {});
    if (!press.clip || press.moved || press.doubleClick || wasHold)
        return;
    if (clipAt(event->position().toPoint()) == press.clip)
        click(*press.clip, event->modifiers()); // the modifiers held as the click ends
}

void ClipStrip::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseDoubleClickEvent(event);
    const ClipItemPtr clip = clipAt(event->position().toPoint());
    m_press = {clip, event->position().toPoint(), false, true};
    if (clip)
        m_model.paste({clip}, false);
}

void ClipStrip::click(const ClipItem &clip, Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlag(Qt::ControlModifier)) {
        m_model.select(clip); // ⌘ toggles, with or without ⇧
    } else if (modifiers.testFlag(Qt::ShiftModifier)) {
        m_model.selectRange(clip.id(), clipIDs(m_visible));
    } else {
        m_model.setMultiSelection({});
        m_model.setSelectedItemID(clip.id());
    }
    setFocus(Qt::MouseFocusReason);
}

void ClipStrip::contextMenuEvent(QContextMenuEvent *event)
{
    const ClipItemPtr clip = clipAt(event->pos());
    if (!clip) {
        event->ignore();
        return;
    }
    emit contextMenuRequested(menuTargets(clip), event->globalPos());
}

QList<ClipItemPtr> ClipStrip::menuTargets(const ClipItemPtr &clip) const
{
    // A clip outside the multi-selection is acted on alone.
    const QSet<QUuid> multi = m_model.multiSelection();
    if (multi.size() > 1 && multi.contains(clip->id()))
        return selectedItems(m_model, m_visible);
    return {clip};
}

void ClipStrip::wheelEvent(QWheelEvent *event)
{
    // The row scrolls sideways with either wheel: most mice have only the vertical one.
    m_scrollAnimation.stop();
    QCoreApplication::sendEvent(horizontalScrollBar(), event);
}

// ---------------------------------------------------------------- geometry

void ClipStrip::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_layout.viewportHeight = viewport()->height();
    updateScrollRange();
    layoutCards();
    placeEmptyState();
}

void ClipStrip::scrollContentsBy(int, int)
{
    layoutCards();
}

void ClipStrip::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    if (std::exchange(m_stale, false)) {
        readAppearing();
        updatePinboardTags();
        if (m_visible.isEmpty())
            m_model.setVisibleItemIDs({}); // published even with nothing to show
    }
    // Once the change that brought the row up is complete: switching
    // pinboards clears the selection after the new row exists.
    if (!std::exchange(m_appeared, true)) {
        QTimer::singleShot(0, this, [this] {
            if (!m_retired)
                focusStrip();
        });
    }
}

void ClipStrip::hideEvent(QHideEvent *event)
{
    QAbstractScrollArea::hideEvent(event);
    if (event->spontaneous() || m_retired)
        return;
    // A hidden row holds no clips and follows no saves; it reads them again when shown.
    m_stale = true;
    m_restOfList->cancel();
    m_scrollAnimation.stop();
    m_listTransition.stop();
    m_slideFrom.clear();
    m_items.clear();
    m_visible.clear();
    m_positions.clear();
    layoutCards();
}

} // namespace tamo
