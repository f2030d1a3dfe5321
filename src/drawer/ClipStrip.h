#pragma once

#include "cards/CardContext.h"
#include "cards/CardGroupLook.h"
#include "drawer/AfterNextFrame.h"
#include "drawer/HoldToPreview.h"
#include "drawer/StripLayout.h"
#include "drawer/TimeScale.h"
#include "model/ClipItem.h"
#include "model/ClipSearch.h"
#include "model/Pinboard.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QUuid>
#include <QVariantAnimation>

namespace tamo {

class AppModel;
class ClipCard;
class EmptyStripView;
struct SaveSummary;

// The drawer's row of clip cards: the history, newest first and at most its
// 2,000 newest clips, or one pinboard's clips, most recently pinned first;
// narrowed by the search held in AppModel. Cards exist only for the clips in
// view and a few on either side, and are reused as the row scrolls, so a
// long history costs no more than a screenful.
//
// A click selects (⌘ toggles, ⇧ extends), a double click pastes, holding a
// card previews it when "holdToPreview" is on, and a right-click asks for the
// card's menu. Keys go through the drawer's key map. The row keeps the
// current clip in view and publishes the clips it shows to AppModel.
class ClipStrip : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // Cards built beyond each edge of the view.
    static constexpr int offscreenCards = 2;

    // A null pinboard id shows the history.
    ClipStrip(AppModel &model, const CardContext &cards, const QUuid &pinboardID, TimeScale timeScale = {},
              QWidget *parent = nullptr);
    ~ClipStrip() override;

    QUuid pinboardID() const { return m_pinboardID; }
    // What the row shows, in order.
    const QList<ClipItemPtr> &visibleClips() const { return m_visible; }
    CardSize cardSize() const { return m_cardLook.size; }
    const StripLayout &stripLayout() const { return m_layout; }
    // The card of a clip; none while the clip is out of view.
    ClipCard *cardFor(const QUuid &clipID) const { return m_cards.value(clipID); }
    const EmptyStripView &emptyState() const { return *m_emptyState; }

    // Stops following the shared state: a strip that replaces this one
    // answers for it from now on.
    void retire();

signals:
    // A right-click on a card: the clips its menu acts on, in row order.
    void contextMenuRequested(const QList<tamo::ClipItemPtr> &targets, const QPoint &globalPosition);

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // What is listed: as the row appears, the clips its first frame shows,
    // and the rest once that frame is out.
    void readAppearing();
    void readRestOfList();
    void followSave(const SaveSummary &summary);
    void storeSaved(const SaveSummary &summary);
    // Cards that move or arrive slide into place unless told otherwise.
    void showMatches(bool animated = true);
    void showWholeTextMatches(const QList<QUuid> &ids);
    void setVisibleClips(QList<ClipItemPtr> visible, bool animated = true);
    void searchChanged();
    void updatePinboardTags();
    void readCardScale();

    // Reactions to the shared state.
    void scrollToSelection();
    void scrollToStart();
    void focusStrip();

    // The cards.
    void layoutCards();
    void releaseCard(ClipCard *card);
    void updateSelectionMarks();
    void updateScrollRange();
    void placeEmptyState();
    void animateScrollTo(int offset);
    void startListTransition(const QHash<QUuid, qsizetype> &oldPositions);

    // The mouse.
    ClipItemPtr clipAt(const QPoint &viewportPoint) const;
    void click(const ClipItem &clip, Qt::KeyboardModifiers modifiers);
    QList<ClipItemPtr> menuTargets(const ClipItemPtr &clip) const;

    AppModel &m_model;
    CardContext m_cardContext;
    QUuid m_pinboardID;
    TimeScale m_timeScale;
    HoldToPreview m_hold;

    QList<ClipItemPtr> m_items; // the query's result
    AfterNextFrame *m_restOfList = nullptr;
    QList<ClipItemPtr> m_visible;
    ClipSearch m_wholeTextSearch;
    QHash<QUuid, qsizetype> m_positions; // of the visible clips

    CardGroupLook m_cardLook;
    StripLayout m_layout;
    QHash<QUuid, ClipCard *> m_cards;
    QList<ClipCard *> m_spareCards;
    EmptyStripView *m_emptyState;

    QVariantAnimation m_scrollAnimation;
    // Cards that stay slide from where they were when the front clip or the
    // number of clips changes.
    QVariantAnimation m_listTransition;
    QHash<QUuid, int> m_slideFrom; // a card's distance from its place as the slide starts
    QSet<QUuid> m_appearing;       // new cards, fading in and growing meanwhile
    QElapsedTimer m_sinceListChange;

    struct Press
    {
        ClipItemPtr clip;
        QPoint origin;
        bool moved = false;
        bool doubleClick = false;
    };
    Press m_press;
    bool m_appeared = false;
    bool m_stale = true; // hidden since the last save or never shown
    bool m_retired = false;
};

} // namespace tamo
