#pragma once

#include <QMenu>

namespace tamo {

// A menu whose rows show their keys at the right as this desktop names them
// ("Ctrl+,", "Super+Alt+Z"). The keys are the row's shortcut, not part of its
// title, so screen readers read the title as the row's name; Qt alone would
// name the Super key "Meta". The keys work while the menu is open, as in a
// menu bar's menu; for an open submenu made as a KeyHintMenu too, so do the
// keys of the menus it opened from.
class KeyHintMenu : public QMenu
{
    Q_OBJECT

public:
    using QMenu::QMenu;

    // The keys in glyph form ("⌘,"); empty takes them away.
    static void setKeys(QAction *row, const QString &glyphShortcut);
    // The keys as the row shows them.
    static QString shownKeys(const QAction *row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;

private:
    // The open menus, this one first, then the ones it was opened from.
    QList<QMenu *> openChain();
};

} // namespace tamo
