#pragma once

#include "cards/CardContext.h"
#include "cards/CardSize.h"
#include "model/ClipItem.h"

#include <QScrollArea>

#include <functional>
#include <memory>
#include <vector>

class QGridLayout;

namespace tamo {

class ClipCard;
class MenuBarViewState;

// The panel's cards in two columns, in the order the keyboard moves over
// them. It takes the keyboard while the panel's focus is on the grid.
class MenuBarCardGrid : public QScrollArea
{
    Q_OBJECT

public:
    static constexpr int columns = 2;
    static constexpr int spacing = 14;
    static constexpr int horizontalPadding = 18;
    static constexpr int verticalPadding = 12;

    MenuBarCardGrid(MenuBarViewState &state, const CardContext &cards,
                    std::function<void(const QList<ClipItemPtr> &)> pasteByClick, QWidget *parent = nullptr);
    ~MenuBarCardGrid() override;

    // 0.54 for small drawer cards, else 72 % of the drawer's scale (at most 1.5).
    static CardSize cardSize(double cardScale);

    QList<ClipCard *> cards() const;
    void scrollToTop();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuild();
    void updateSelection();
    void revealSelection();
    void cardTapped(const ClipItemPtr &clip);
    CardSize currentSize() const;

    MenuBarViewState &m_state;
    CardContext m_context;
    std::function<void(const QList<ClipItemPtr> &)> m_pasteByClick;
    QGridLayout *m_layout = nullptr;
    std::vector<std::unique_ptr<ClipCard>> m_cards;
};

} // namespace tamo
