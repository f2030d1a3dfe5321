#pragma once

#include "model/Pinboard.h"

#include <QPoint>
#include <QTimer>
#include <QWidget>

class QMenu;

namespace tamo {

class AppModel;
class PinboardNameField;
class PinboardTabLabel;
class Reorderable;

// The tab of one pinboard. A click selects the pinboard, holding the mouse
// still on it for two seconds starts reordering, and its menu renames,
// recolours or deletes it. While AppModel renames this pinboard the tab is a
// name field that writes each keystroke into the pinboard.
class PinboardTab : public QWidget
{
    Q_OBJECT

public:
    static constexpr int longPressMs = 2000;
    static constexpr int longPressSlop = 10;

    PinboardTab(AppModel &model, const PinboardPtr &board, QWidget *parent = nullptr);

    const PinboardPtr &board() const { return m_board; }
    // Shows the pinboard's name, colour and order as they are now.
    void refresh();
    void setTiltPhase(qreal phase);

    PinboardTabLabel *label() const { return m_label; }
    PinboardNameField *nameField() const { return m_nameField; }
    bool isRenaming() const;
    // The tab's context menu, deleted when closed.
    QMenu *makeMenu();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void select();
    void updateMode();
    void commitRename();

    AppModel &m_model;
    PinboardPtr m_board;
    PinboardTabLabel *m_label;
    PinboardNameField *m_nameField;
    Reorderable *m_reorderable;
    QTimer m_longPress;
    QPoint m_pressPosition;
    bool m_showsNameField = false;
};

} // namespace tamo
