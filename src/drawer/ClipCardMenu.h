#pragma once

#include "model/ClipItem.h"
#include "model/Pinboard.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

class QMenu;
class QPoint;

namespace tamo {

class AppModel;

// The context menu of a clip card in the drawer or the menu-bar panel: the
// right-clicked clip, or the selection it belongs to, in the order shown.
// The rows depend only on the clips, the pinboards and whether the card sits
// inside a pinboard; each action is one AppModel call with all of the clips.
// Built afresh whenever the menu opens, it keeps no state.
class ClipCardMenu
{
public:
    enum class Action {
        openInBrowser,
        paste,
        pasteAsPlainText,
        copy,
        rename,
        changeIcon,
        preview,
        pinTo, // the submenu of pinboards
        unpin,
        deleteClips,
        pinToPinboard,
        newPinboard,
    };

    // One row of the menu; a row without an action is a divider.
    struct Row
    {
        std::optional<Action> action;
        QString title;
        QString symbol; // empty for the delete row, which has its red trash
        bool enabled = true;
        PinboardPtr pinboard; // the target of a pinToPinboard row
        QList<Row> submenu;   // the rows of pinTo
    };

    // clips: never empty, in the order shown; pinboards: in bar order, one per id.
    ClipCardMenu(QList<ClipItemPtr> clips, QList<PinboardPtr> pinboards, bool inPinboard);

    QList<Row> rows() const;

    // Adds the rows to menu. Its actions call model, and do nothing once the
    // model is gone; "Rename…" opens the field in the menu-bar panel when
    // isInMenuBarPanel is set.
    void fill(QMenu &menu, AppModel &model, bool isInMenuBarPanel) const;

    // Pops up the menu for clips of the history (or of a pinboard when
    // inPinboard) at a screen position; it deletes itself once closed.
    static void popup(AppModel &model, const QList<ClipItemPtr> &clips, bool inPinboard, bool isInMenuBarPanel,
                      const QPoint &globalPosition);

    // Added to the titles of actions on all the clips: empty below two
    // clips, else " <count> Clips".
    static QString clipCountSuffix(qsizetype count);

    // The address "Open in Browser" opens: a link clip's text as a valid
    // URL with a scheme; none for any other clip.
    static std::optional<QUrl> browserURL(const ClipItem &clip);

    // The trash symbol in red, made once; empty when the theme has no trash.
    static const QIcon &redTrashImage();

private:
    QList<Row> pinRows() const;
    void addRows(QMenu &menu, const QList<Row> &rows, AppModel &model, bool isInMenuBarPanel) const;
    void perform(const Row &row, AppModel &model, bool isInMenuBarPanel) const;

    QList<ClipItemPtr> m_clips;
    QList<PinboardPtr> m_pinboards;
    bool m_inPinboard;
};

} // namespace tamo
