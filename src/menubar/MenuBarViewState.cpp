#include "menubar/MenuBarViewState.h"

#include "app/AppModel.h"
#include "drawer/DrawerSelection.h"
#include "drawer/StripClips.h"
#include "model/FetchDescriptor.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"
#include "model/Selection.h"

#include <algorithm>

namespace tamo {

namespace {

constexpr int filterMenuAppLimit = 15;

} // namespace

MenuBarViewState::MenuBarViewState(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_search(model.container().storeDirectory())
{
    m_searchPause.setSingleShot(true);
    m_searchPause.setInterval(searchPauseMs);
    connect(&m_searchPause, &QTimer::timeout, this, &MenuBarViewState::computeResults);
    connect(&m_search, &ClipSearch::firstMatchesFound, this, &MenuBarViewState::showFirstResults);
    connect(&m_search, &ClipSearch::finished, this, &MenuBarViewState::applyResults);
    connect(&context(), &ModelContext::didSave, this, &MenuBarViewState::storeSaved);
}

ModelContext &MenuBarViewState::context() const
{
    return m_model.container().mainContext();
}

void MenuBarViewState::reload()
{
    m_firstClipsOnly = false;
    follow(nullptr);
}

void MenuBarViewState::readRestOfList()
{
    if (m_shown && m_firstClipsOnly)
        reload();
}

void MenuBarViewState::readFirstClips()
{
    m_items = stripQuery({}).first(firstFrameClips).fetch(context());
    m_firstClipsOnly = m_items.size() >= firstFrameClips;
    m_pinned = ClipListQuery::pinned().fetch(context());
    m_pinboards = m_model.pinboards().orderedPinboards();
}

void MenuBarViewState::follow(const SaveSummary *summary)
{
    const PinboardPtr boardBefore = selectedBoard();
    for (auto [list, query] : {std::pair{&m_items, stripQuery({})}, std::pair{&m_pinned, ClipListQuery::pinned()}}) {
        if (!summary || !query.followSave(*list, *summary))
            *list = query.fetch(context());
    }
    if (!summary || summary->entities.contains(QLatin1String(Pinboard::spec().name)))
        m_pinboards = m_model.pinboards().orderedPinboards();
    // A deleted scope reads as the whole history, which changes the search.
    if (boardBefore != selectedBoard())
        scheduleResults();
    visibleMayHaveChanged();
}

void MenuBarViewState::storeSaved(const SaveSummary &summary)
{
    if (!m_shown)
        return;
    dropRemoved(summary.removedClipIDs);
    follow(&summary);
    followInResults(summary);
}

void MenuBarViewState::followInResults(const SaveSummary &summary)
{
    // A search about to start reads the save itself.
    if (!isSearching() || m_searchPause.isActive() || !summary.entities.contains(QLatin1String(ClipItem::spec().name)))
        return;
    const bool placed = m_results && summary.savedRecords && placeInResults(*summary.savedRecords);
    if (m_search.isRunning()) {
        // It may have read the store before this save: what it finds is
        // brought up to date once it ends, so copies in quick succession
        // never keep a long search from ending.
        m_missedBySearch.removed += summary.removedClipIDs;
        if (summary.savedRecords)
            m_missedBySearch.saved.insert(m_missedBySearch.saved.end(), summary.savedRecords->cbegin(),
                                          summary.savedRecords->cend());
        else
            m_missedBySearch.unknown = true;
    } else if (!placed) {
        searchAgainQuietly();
    }
    visibleMayHaveChanged();
    emit searchChanged(); // the title counts the matches
}

// False when a clip's place is only known by reading the store: a match that
// is not the newest, or one only the rest of a long text could tell.
bool MenuBarViewState::placeInResults(const std::vector<std::shared_ptr<Record>> &saved)
{
    const PinboardPtr board = selectedBoard();
    const QString text = trimmedSearchText(m_query);
    // The date the results are ordered by, newest first.
    const auto dateOf = [&](const ClipItem &clip) {
        return board ? clip.pinnedAt().value_or(QDateTime()) : clip.createdAt();
    };
    QList<ClipItemPtr> matching;
    for (const std::shared_ptr<Record> &record : saved) {
        if (&record->entity() != &ClipItem::spec())
            continue;
        auto clip = std::static_pointer_cast<ClipItem>(record);
        const bool inScope = !clip->isGone() && (!board || clip->pinboardID() == board->id());
        const std::optional<bool> matches = inScope ? clip->matchesHeld(text, m_filters) : std::optional(false);
        if (!matches)
            return false;
        if (*matches)
            matching.append(std::move(clip));
        else
            m_results->removeOne(clip->id());
    }
    std::sort(matching.begin(), matching.end(),
              [&](const ClipItemPtr &a, const ClipItemPtr &b) { return dateOf(*a) < dateOf(*b); });
    for (const ClipItemPtr &clip : std::as_const(matching)) {
        if (!m_results->isEmpty() && m_results->first() == clip->id())
            continue;
        if (!m_results->isEmpty()) {
            const ClipItemPtr front = clipWithID(m_results->first());
            if (!front)
                return false;
            if (dateOf(*clip) < dateOf(*front)) {
                // An older clip that already matched keeps its place.
                if (!m_results->contains(clip->id()))
                    return false;
                continue;
            }
        }
        m_results->removeOne(clip->id());
        m_results->prepend(clip->id());
    }
    return true;
}

// The shown results stay until the new search's whole list replaces them.
void MenuBarViewState::searchAgainQuietly()
{
    m_quietSearch = m_results.has_value();
    computeResults();
}

// Deleted results leave at once, without a new search.
void MenuBarViewState::dropRemoved(const QList<QUuid> &removed)
{
    if (!m_results || removed.isEmpty())
        return;
    const QSet<QUuid> gone(removed.cbegin(), removed.cend());
    m_results->removeIf([&](const QUuid &id) { return gone.contains(id); });
}

void MenuBarViewState::release()
{
    m_shown = false;
    m_firstClipsOnly = false;
    m_searchPause.stop();
    m_search.cancel();
    m_items.clear();
    m_pinned.clear();
    m_pinboards.clear();
    forgetResults();
    visibleMayHaveChanged();
}

void MenuBarViewState::setSelection(const QUuid &selectedID, const QSet<QUuid> &multiSelection)
{
    const QSet<QUuid> multi = multiSelection.size() >= 2 ? multiSelection : QSet<QUuid>();
    if (selectedID == m_selectedID && multi == m_multiSelection)
        return;
    m_selectedID = selectedID;
    m_multiSelection = multi;
    emit selectionChanged();
}

void MenuBarViewState::setQuery(const QString &query)
{
    if (query == m_query)
        return;
    const QString keyBefore = trimmedSearchText(m_query);
    m_query = query;
    emit searchChanged();
    if (trimmedSearchText(query) != keyBefore)
        scheduleResults();
}

void MenuBarViewState::setFilters(const QList<SearchFilter> &filters)
{
    if (filters == m_filters)
        return;
    m_filters = filters;
    emit searchChanged();
    scheduleResults();
}

void MenuBarViewState::setBoardID(const QUuid &id)
{
    if (id == m_boardID)
        return;
    const PinboardPtr boardBefore = selectedBoard();
    m_boardID = id;
    emit searchChanged();
    if (selectedBoard() != boardBefore)
        scheduleResults();
    const QList<ClipItemPtr> scope = scopeClips();
    setSelection(scope.isEmpty() ? QUuid() : scope.first()->id(), {});
    visibleMayHaveChanged();
    emit scrollToTopRequested();
}

void MenuBarViewState::setFocus(Focus focus)
{
    m_focus = focus;
    emit focusChanged(focus);
}

bool MenuBarViewState::isSearching() const
{
    return !trimmedSearchText(m_query).isEmpty() || !m_filters.isEmpty();
}

PinboardPtr MenuBarViewState::selectedBoard() const
{
    if (m_boardID.isNull())
        return {};
    const auto found = std::find_if(m_pinboards.cbegin(), m_pinboards.cend(),
                                    [&](const PinboardPtr &board) { return board->id() == m_boardID; });
    return found == m_pinboards.cend() ? PinboardPtr() : *found;
}

QList<ClipItemPtr> MenuBarViewState::scopeClips() const
{
    const PinboardPtr board = selectedBoard();
    if (!board)
        return m_items;
    QList<ClipItemPtr> clips;
    std::copy_if(m_pinned.cbegin(), m_pinned.cend(), std::back_inserter(clips),
                 [&](const ClipItemPtr &clip) { return clip->pinboardID() == board->id(); });
    return clips;
}

QList<QUuid> MenuBarViewState::visibleIDs() const
{
    if (!isSearching())
        return clipIDs(scopeClips());
    return m_results.value_or(QList<QUuid>());
}

ClipItemPtr MenuBarViewState::clipWithID(const QUuid &id) const
{
    for (const QList<ClipItemPtr> *held : {&m_items, &m_pinned}) {
        const auto found = std::find_if(held->cbegin(), held->cend(),
                                        [&](const ClipItemPtr &clip) { return clip->id() == id; });
        if (found != held->cend())
            return (*found)->isGone() ? nullptr : *found;
    }
    const QList<ClipItemPtr> stored =
        context().fetch<ClipItem>(FetchDescriptor().where(ClipItem::IdColumn, FetchDescriptor::Compare::equal, id).limited(1));
    return stored.isEmpty() ? nullptr : stored.first();
}

QList<ClipItemPtr> MenuBarViewState::clipsWithIDs(const QList<QUuid> &ids) const
{
    QList<ClipItemPtr> clips;
    for (const QUuid &id : ids) {
        if (ClipItemPtr clip = clipWithID(id))
            clips.append(std::move(clip));
    }
    return clips;
}

QHash<QUuid, PinboardPtr> MenuBarViewState::pinboardLookup() const
{
    QHash<QUuid, PinboardPtr> lookup;
    if (!isSearching() || selectedBoard())
        return lookup;
    for (const PinboardPtr &board : m_pinboards) {
        if (!lookup.contains(board->id()))
            lookup.insert(board->id(), board);
    }
    return lookup;
}

bool MenuBarViewState::handleTab(bool forward)
{
    if (!m_model.renamingItemID().isNull())
        return false;
    cyclePinboardScope(forward);
    return true;
}

void MenuBarViewState::cyclePinboardScope(bool forward)
{
    QList<QUuid> scopes{QUuid()};
    for (const PinboardPtr &board : m_pinboards) {
        if (!scopes.contains(board->id()))
            scopes.append(board->id());
    }
    const PinboardPtr board = selectedBoard();
    const qsizetype current = std::max<qsizetype>(0, scopes.indexOf(board ? board->id() : QUuid()));
    const qsizetype count = scopes.size();
    setBoardID(scopes[((current + (forward ? 1 : -1)) % count + count) % count]);
}

void MenuBarViewState::computeResults()
{
    m_missedBySearch = {}; // a search started now reads every save so far
    const PinboardPtr board = selectedBoard();
    m_search.start({trimmedSearchText(m_query), m_filters, board ? board->id() : QUuid(), -1, firstFrameClips});
}

void MenuBarViewState::scheduleResults()
{
    // The search that was running is for a key that no longer holds.
    m_search.cancel();
    m_quietSearch = false;
    if (!isSearching()) {
        m_searchPause.stop();
        if (m_results) {
            forgetResults();
            visibleMayHaveChanged();
        }
        return;
    }
    m_searchPause.start();
    // A search that has no results yet shows none: the cards of the scope
    // it starts from are no results and must not be clickable.
    visibleMayHaveChanged();
}

void MenuBarViewState::forgetResults()
{
    m_results.reset();
    m_resultsWhole = false;
    m_quietSearch = false;
}

void MenuBarViewState::showFirstResults(const QList<QUuid> &ids)
{
    if (m_quietSearch)
        return;
    m_results = ids;
    m_resultsWhole = false;
    visibleMayHaveChanged();
    emit searchChanged();
    emit scrollToTopRequested();
}

// The whole list starts with the first results, and one searched again
// after a save with what was shown: what was shown stays in place.
void MenuBarViewState::applyResults(const QList<QUuid> &ids, int pages)
{
    const bool shownStays = (m_results && !m_resultsWhole) || std::exchange(m_quietSearch, false);
    m_results = ids;
    m_resultsWhole = true;
    m_lastSearchFetches = pages;
    followMissedSaves();
    visibleMayHaveChanged();
    // An empty result after an empty wait changes no id, but the title and the empty state change.
    emit searchChanged();
    if (!shownStays)
        emit scrollToTopRequested();
}

// The saves made while the search read the store, which it may not have seen.
void MenuBarViewState::followMissedSaves()
{
    const MissedSaves missed = std::exchange(m_missedBySearch, {});
    dropRemoved(missed.removed);
    if (missed.unknown || !placeInResults(missed.saved))
        searchAgainQuietly();
}

void MenuBarViewState::visibleMayHaveChanged()
{
    const QList<QUuid> ids = visibleIDs();
    if (ids == m_lastVisibleIDs)
        return;
    m_lastVisibleIDs = ids;
    repairSelection(ids);
    emit visibleClipsChanged();
}

void MenuBarViewState::repairSelection(const QList<QUuid> &ids)
{
    const QUuid selected = ids.contains(m_selectedID) ? m_selectedID : (ids.isEmpty() ? QUuid() : ids.first());
    QSet<QUuid> multi;
    if (!m_multiSelection.isEmpty()) {
        const QSet<QUuid> shown(ids.cbegin(), ids.cend());
        multi = m_multiSelection & shown;
    }
    setSelection(selected, multi);
}

void MenuBarViewState::toggleFilter(const SearchFilter &filter)
{
    QList<SearchFilter> filters = m_filters;
    if (!filters.removeOne(filter))
        filters.append(filter);
    setFilters(filters);
    setFocus(Focus::search);
}

void MenuBarViewState::clearSearch()
{
    setQuery({});
    setFilters({});
    const QList<ClipItemPtr> scope = scopeClips();
    setSelection(scope.isEmpty() ? QUuid() : scope.first()->id(), m_multiSelection);
    setFocus(Focus::search);
}

void MenuBarViewState::leaveBoardScope()
{
    setBoardID({});
    setFocus(Focus::search);
}

void MenuBarViewState::clearFilters()
{
    setFilters({});
    setFocus(Focus::search);
}

QList<ClipItemPtr> MenuBarViewState::selectedClips() const
{
    const QList<QUuid> visible = visibleIDs();
    QList<QUuid> ids;
    std::copy_if(visible.cbegin(), visible.cend(), std::back_inserter(ids), [&](const QUuid &id) {
        return m_multiSelection.size() >= 2 ? m_multiSelection.contains(id) : id == m_selectedID;
    });
    return clipsWithIDs(ids);
}

QList<ClipItemPtr> MenuBarViewState::clipsForCard(const ClipItemPtr &clip) const
{
    if (m_multiSelection.size() >= 2 && m_multiSelection.contains(clip->id()))
        return selectedClips();
    return {clip};
}

void MenuBarViewState::toggleSelection(const QUuid &id)
{
    QSet<QUuid> set = m_multiSelection;
    QUuid selected = m_selectedID;
    if (set.isEmpty() && !selected.isNull())
        set.insert(selected);
    if (!set.remove(id)) {
        set.insert(id);
        selected = id;
    }
    if (!selected.isNull() && !set.contains(selected)) {
        selected = QUuid();
        for (const QUuid &visible : visibleIDs()) {
            if (set.contains(visible)) {
                selected = visible;
                break;
            }
        }
    }
    setSelection(selected, set);
    m_anchorID = selected;
}

void MenuBarViewState::extendSelection(const QUuid &target)
{
    QUuid anchor = !m_multiSelection.isEmpty() && !m_anchorID.isNull() ? m_anchorID : m_selectedID;
    if (anchor.isNull())
        anchor = target;
    setSelection(target, rangeSelection(anchor, target, visibleIDs()));
    m_anchorID = anchor;
}

bool MenuBarViewState::moveSelection(int delta, bool extend)
{
    const QList<QUuid> ids = visibleIDs();
    if (ids.isEmpty())
        return false;
    // Starts from the first clip when none is current, so a first ↓ lands on the second.
    const qsizetype current = std::max<qsizetype>(0, ids.indexOf(m_selectedID));
    const QUuid target = ids[std::clamp<qsizetype>(current + delta, 0, ids.size() - 1)];
    if (extend)
        extendSelection(target);
    else
        setSelection(target, {});
    return true;
}

bool MenuBarViewState::selectAll()
{
    const QList<QUuid> ids = visibleIDs();
    if (ids.isEmpty())
        return false;
    setSelection(ids.first(), QSet<QUuid>(ids.cbegin(), ids.cend()));
    m_anchorID = ids.first();
    return true;
}

void MenuBarViewState::deleteSelected(const QList<ClipItemPtr> &clips)
{
    const QList<QUuid> removed = clipIDs(clips);
    setSelection(selectionAfterRemoval(visibleIDs(), QSet<QUuid>(removed.cbegin(), removed.cend())), {});
    if (selectedBoard())
        m_model.unpin(clips);
    else
        m_model.deleteItems(clips);
}

void MenuBarViewState::resetForOpen()
{
    commitBoardRename();
    m_shown = true;
    readFirstClips();
    m_searchPause.stop();
    m_search.cancel();
    m_query.clear();
    m_filters.clear();
    forgetResults();
    m_boardID = QUuid();
    emit searchChanged();
    setSelection(m_items.isEmpty() ? QUuid() : m_items.first()->id(), {});
    visibleMayHaveChanged();
    emit scrollToTopRequested();
    m_apps.clear();
    for (const AppModel::SourceAppFilter &app : m_model.sourceAppFilters(filterMenuAppLimit))
        m_apps.append({app.bundleID, app.name});
    if (m_model.renamingInMenuBar() && !m_model.renamingItemID().isNull()) {
        m_model.setRenamingItemID({});
        m_model.bumpFocusToken();
    }
    setFocus(Focus::search);
}

void MenuBarViewState::startBoardRename(const PinboardPtr &board)
{
    m_renamingBoardID = board->id();
    emit renamingBoardChanged();
    setFocus(Focus::pinboardName);
}

void MenuBarViewState::commitBoardRename()
{
    if (m_renamingBoardID.isNull())
        return;
    const QUuid id = std::exchange(m_renamingBoardID, QUuid());
    emit renamingBoardChanged();
    const auto board = std::find_if(m_pinboards.cbegin(), m_pinboards.cend(),
                                    [&](const PinboardPtr &candidate) { return candidate->id() == id; });
    if (board != m_pinboards.cend())
        m_model.commitPinboardRename(**board);
    if (m_focus == Focus::pinboardName || m_focus == Focus::none)
        setFocus(Focus::search);
}

void MenuBarViewState::deleteBoard(const PinboardPtr &board)
{
    if (m_boardID == board->id())
        setBoardID({});
    m_model.deletePinboard(board);
}

QString MenuBarViewState::scopeTitle() const
{
    if (!isSearching()) {
        const PinboardPtr board = selectedBoard();
        return board ? board->name() : tr("Recent Clips");
    }
    if (!m_resultsWhole)
        return tr("Searching…");
    const qsizetype count = visibleIDs().size();
    if (count == 0)
        return tr("No Matches");
    return count == 1 ? tr("1 Match") : QStringLiteral("%1 Matches").arg(count);
}

std::optional<DrawerEmptyState> MenuBarViewState::emptyState() const
{
    if (!visibleIDs().isEmpty() || (isSearching() && !m_results))
        return std::nullopt;
    if (isSearching())
        return DrawerEmptyState{QStringLiteral("magnifyingglass"), tr("No clips match your search")};
    if (const PinboardPtr board = selectedBoard())
        return DrawerEmptyState{QStringLiteral("pin"), tr("Nothing pinned to %1 yet").arg(board->name())};
    return DrawerEmptyState{QStringLiteral("doc.on.clipboard"), tr("Copy something to start your history")};
}

bool MenuBarViewState::hasControlOrFunctionKey(const QString &text)
{
    for (const char32_t scalar : text.toUcs4()) {
        if (QChar::category(scalar) == QChar::Other_Control || (scalar >= 0xF700 && scalar <= 0xF8FF))
            return true;
    }
    return false;
}

} // namespace tamo
