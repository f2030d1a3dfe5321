#pragma once

#include "drawer/DrawerEmptyState.h"
#include "model/ClipItem.h"
#include "model/ClipSearch.h"
#include "model/Pinboard.h"
#include "model/SearchFilter.h"

#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUuid>

#include <memory>
#include <optional>
#include <vector>

namespace tamo {

class AppModel;
class ModelContext;
class Record;
struct SaveSummary;

// The menu-bar panel's own selection, search and pinboard scope. The drawer
// keeps its equivalents in AppModel; this panel keeps them apart so the two
// never disturb each other.
class MenuBarViewState : public QObject
{
    Q_OBJECT

public:
    enum class Focus { none, search, grid, pinboardName };

    struct App
    {
        QString bundleID;
        QString name;
    };

    // Results pause this long after the last change of the search.
    static constexpr int searchPauseMs = 120;

    explicit MenuBarViewState(AppModel &model, QObject *parent = nullptr);

    AppModel &model() const { return m_model; }

    // Store contents while the panel is open (the history's newest clips as
    // the drawer lists them), read again after every save; nothing while closed.
    const QList<ClipItemPtr> &items() const { return m_items; }
    const QList<PinboardPtr> &pinboards() const { return m_pinboards; }
    void reload();
    // As the panel opens only the clips its first frame shows are read: the
    // view has the rest read once that frame is out.
    bool holdsFirstClipsOnly() const { return m_firstClipsOnly; }
    void readRestOfList();
    // The panel closed: hold nothing and follow no saves until it opens again.
    void release();

    QUuid selectedID() const { return m_selectedID; }
    QSet<QUuid> multiSelection() const { return m_multiSelection; }
    QUuid anchorID() const { return m_anchorID; }
    void setSelection(const QUuid &selectedID, const QSet<QUuid> &multiSelection);
    void setAnchorID(const QUuid &id) { m_anchorID = id; }

    QString query() const { return m_query; }
    void setQuery(const QString &query);
    QList<SearchFilter> filters() const { return m_filters; }
    void setFilters(const QList<SearchFilter> &filters);
    // The ids the last finished search found, less the clips deleted since.
    std::optional<QList<QUuid>> results() const { return m_resultsWhole ? m_results : std::nullopt; }
    QUuid boardID() const { return m_boardID; }
    void setBoardID(const QUuid &id);
    QList<App> apps() const { return m_apps; }

    // The pinboard whose chip is a name field; none while no rename runs.
    QUuid renamingBoardID() const { return m_renamingBoardID; }
    void startBoardRename(const PinboardPtr &board);
    // Stores the typed name, trimmed, and gives the focus back to the search.
    void commitBoardRename();
    // Deleting the scope's pinboard returns the panel to the whole history.
    void deleteBoard(const PinboardPtr &board);

    Focus focus() const { return m_focus; }
    void setFocus(Focus focus);

    bool isSearching() const;
    PinboardPtr selectedBoard() const;
    QList<ClipItemPtr> scopeClips() const;
    // The shown clips by id: a search's results are read from the store only
    // as they are asked for, so a million of them cost no more than their ids.
    QList<QUuid> visibleIDs() const;
    // Nothing for a clip that is gone.
    ClipItemPtr clipWithID(const QUuid &id) const;
    QList<ClipItemPtr> clipsWithIDs(const QList<QUuid> &ids) const;
    // Pinboards by id for the cards' tags: only while searching the whole history.
    QHash<QUuid, PinboardPtr> pinboardLookup() const;

    // The title row: the scope's name, or how many clips the search found.
    QString scopeTitle() const;
    // Over the grid when it has nothing to show; none while cards show or a
    // search waits for its first results.
    std::optional<DrawerEmptyState> emptyState() const;

    // Tab and Shift-Tab: false while a clip's name is being edited.
    bool handleTab(bool forward);
    void cyclePinboardScope(bool forward);

    // Starts the search for the current query, filters and scope, off the
    // main thread; the newest results replace the shown ones as soon as they
    // fill the first screen, and the whole list follows when it finishes.
    void computeResults();
    int lastSearchFetches() const { return m_lastSearchFetches; }

    void repairSelection(const QList<QUuid> &ids);
    void toggleFilter(const SearchFilter &filter);
    void clearSearch();
    void leaveBoardScope();
    void clearFilters();

    QList<ClipItemPtr> selectedClips() const;
    QList<ClipItemPtr> clipsForCard(const ClipItemPtr &clip) const;
    void toggleSelection(const QUuid &id);
    void extendSelection(const QUuid &target);
    bool moveSelection(int delta, bool extend);
    bool selectAll();
    void deleteSelected(const QList<ClipItemPtr> &clips);

    // Each time the panel shows: the whole history, no search, first clip.
    void resetForOpen();
    void requestClose() { emit closeRequested(); }

    static bool hasControlOrFunctionKey(const QString &text);

signals:
    void selectionChanged();
    void searchChanged(); // query, filters, scope or results
    void visibleClipsChanged();
    void focusChanged(tamo::MenuBarViewState::Focus focus);
    void scrollToTopRequested();
    void renamingBoardChanged();
    void closeRequested();

private:
    void storeSaved(const SaveSummary &summary);
    // Without a save to follow (null), the lists are read again.
    void follow(const SaveSummary *summary);
    // The shown results take in what a save changed: new matches at the
    // front, clips that no longer match leave; what cannot be placed without
    // reading the store has the search run again behind the shown results.
    void followInResults(const SaveSummary &summary);
    bool placeInResults(const std::vector<std::shared_ptr<Record>> &saved);
    void searchAgainQuietly();
    void followMissedSaves();
    void readFirstClips();
    void scheduleResults();
    void forgetResults();
    void showFirstResults(const QList<QUuid> &ids);
    void applyResults(const QList<QUuid> &ids, int pages);
    void dropRemoved(const QList<QUuid> &removed);
    void visibleMayHaveChanged();
    ModelContext &context() const;

    AppModel &m_model;
    QList<ClipItemPtr> m_items;
    QList<PinboardPtr> m_pinboards;
    QList<ClipItemPtr> m_pinned;
    QUuid m_selectedID;
    QSet<QUuid> m_multiSelection;
    QUuid m_anchorID;
    QString m_query;
    QList<SearchFilter> m_filters;
    std::optional<QList<QUuid>> m_results; // shown: the first results or the whole list
    bool m_resultsWhole = false;
    bool m_quietSearch = false; // the running search only brings shown results up to date
    struct MissedSaves
    {
        std::vector<std::shared_ptr<Record>> saved;
        QList<QUuid> removed;
        bool unknown = false; // a change made through another connection
    };
    MissedSaves m_missedBySearch; // saves made while the running search read the store
    ClipSearch m_search;
    QUuid m_boardID;
    QUuid m_renamingBoardID;
    QList<App> m_apps;
    Focus m_focus = Focus::none;
    QTimer m_searchPause;
    QList<QUuid> m_lastVisibleIDs;
    int m_lastSearchFetches = 0;
    bool m_shown = false;
    bool m_firstClipsOnly = false;
};

} // namespace tamo
