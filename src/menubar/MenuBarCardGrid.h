#pragma once

#include "cards/CardContext.h"
#include "cards/CardGroupLook.h"
#include "menubar/GridLayout.h"
#include "model/ClipItem.h"
#include "model/Pinboard.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QList>
#include <QUuid>
#include <QVariantAnimation>

#include <functional>

namespace tamo {

class ClipCard;
class HorizontalWheelScrolling;
class MenuBarViewState;

// The panel's cards in two columns, or in one row with "horizontal" as the
// layout, in the order the keyboard moves over them. It takes the keyboard while the panel's focus is on the grid. Cards
// exist only for the rows in view and a few above and below, and are reused
// as the grid scrolls, so a long history costs no more than a screenful.
class MenuBarCardGrid : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // Rows of cards built beyond each edge of the view.
    static constexpr int offscreenRows = 1;

    MenuBarCardGrid(MenuBarViewState &state, const CardContext &cards,
                    std::function<void(const QList<ClipItemPtr> &)> pasteByClick, QWidget *parent = nullptr);
    ~MenuBarCardGrid() override;

    // 0.54 for small drawer cards, else 72 % of the drawer's scale (at most 1.5).
    static CardSize cardSize(double cardScale);

    const GridLayout &gridLayout() const { return m_layout; }
    // The cards built, in the grid's order.
    QList<ClipCard *> cards() const;
    // The card of a clip; none while the clip is out of view.
    ClipCard *cardFor(const QUuid &clipID) const { return m_cards.value(clipID); }
    void scrollToTop();
    // The bar of the axis the cards scroll along.
    QScrollBar *scrollBar() const;
    // The offset the grid is scrolling to, or stands at.
    int scrollTarget() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void rebuild();
    void readCardScale();
    void readLayout();
    void layoutCards();
    void releaseCard(ClipCard *card);
    void updateScrollRange();
    void updateSelection();
    void revealSelection();
    void scrollTo(int offset);
    int viewLength() const;
    void cardTapped(const ClipItemPtr &clip);

    MenuBarViewState &m_state;
    CardContext m_context;
    std::function<void(const QList<ClipItemPtr> &)> m_pasteByClick;

    QList<QUuid> m_visible;
    QHash<QUuid, qsizetype> m_cardPositions; // of the clips with a card

    CardGroupLook m_cardLook;
    GridLayout m_layout;
    QHash<QUuid, ClipCard *> m_cards;
    QList<ClipCard *> m_spareCards;
    QUuid m_revealedID; // the selection last scrolled to
    QVariantAnimation m_scrollAnimation;
    HorizontalWheelScrolling *m_wheelScrolling = nullptr; // only in one row
};

} // namespace tamo
